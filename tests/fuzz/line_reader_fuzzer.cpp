// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives, whether they are read one by one or, as the pass reads them, in runs
// of CR LF lines where the reader finds them.
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
    while (!reader.atEnd()) {
        std::string_view run = inRuns ? reader.readCrLfLines() : std::string_view();
        if (run.empty()) {
            lines.emplace_back(reader.readLine());
        }
        for (std::size_t end; (end = run.find("\r\n")) != std::string_view::npos;) {
            lines.emplace_back(run.substr(0, end));
            run.remove_prefix(end + 2);
        }
        fuzzing::Check(run.empty(), "a run of lines does not end in CR LF");
    }
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
