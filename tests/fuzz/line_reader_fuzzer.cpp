// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "recode/io_result.h"
#include "recode/text_line_reader.h"
#include "support/reference_recoding.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path, std::size_t blockSize) {
    recode::TextLineReader reader(blockSize);
    reader.open(path);
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    reader.close();
    fuzzing::Check(recode::takeIoResult() == 0, "reading a plain file failed");
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::TempDir dir;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = dir.write("input.txt", bytes);
    const std::vector<std::string> expected = testing_support::ReferenceLines(bytes);
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
        fuzzing::Check(ReadLines(path, blockSize) == expected, "lines differ from the reference");
    }
    return 0;
}
