// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives.
#include <cstddef>
#include <cstdint>

#include "engine/support.h"
#include "fuzz/reference.h"
#include "recode/text_line_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const lm::TempDir dir;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lm::Write(dir / "input.txt", bytes);
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
        recode::TextLineReader reader(blockSize);
        reader.open(dir / "input.txt");
        std::vector<std::string> lines;
        while (!reader.atEnd()) {
            lines.emplace_back(reader.readLine());
        }
        reader.close();
        fuzzing::Check(reader.failure() == 0 && recode::takeIoResult() == 0, "read failed");
        fuzzing::Check(lines == fuzzing::ReferenceLines(bytes), "lines differ from the reference");
    }
    return 0;
}
