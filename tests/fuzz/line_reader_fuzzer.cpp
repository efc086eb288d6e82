// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives, whether they are read one by one or, as the pass reads them, in runs
// of CR LF text where the reader finds them, the rest of each line read line by line.
#include <cstddef>
#include <cstdint>

#include "engine/support.h"
#include "fuzz/reference.h"
#include "recode/text_line_reader.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path, std::size_t blockSize, bool inRuns) {
    recode::TextLineReader reader(blockSize);
    reader.open(path);
    std::vector<std::string> lines;
    std::string begun;  // a line that a run of text began
    while (!reader.atEnd()) {
        const std::string_view text = inRuns ? reader.readCrLfText() : std::string_view();
        if (text.empty()) {
            lines.push_back(begun + std::string(reader.readLine()));
            begun.clear();
        }
        begun += text;
        for (std::size_t end; (end = begun.find("\r\n")) != std::string::npos;) {
            lines.push_back(begun.substr(0, end));
            begun.erase(0, end + 2);
        }
        fuzzing::Check(begun.find('\r') == std::string::npos, "a CR kept inside a line");
    }
    fuzzing::Check(begun.empty(), "a line begun was never ended");
    reader.close();
    fuzzing::Check(reader.failure() == 0 && recode::takeIoResult() == 0, "read failed");
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const lm::TempDir dir;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lm::Write(dir / "input.txt", bytes);
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
        for (const bool inRuns : {false, true}) {
            fuzzing::Check(
                ReadLines(dir / "input.txt", blockSize, inRuns) == fuzzing::ReferenceLines(bytes),
                "lines differ from the reference");
        }
    }
    return 0;
}
