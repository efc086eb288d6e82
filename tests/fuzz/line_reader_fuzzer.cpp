// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives, whether they are read one by one or, as the pass reads them, as one
// text in pieces with every line ended in CR LF. And the reader's vector scans must find what the
// plain ones find, from any start to any end, whatever lies in the slack after the end.
#include <cstddef>
#include <cstdint>
#include <algorithm>

#include "support/support.h"
#include "fuzz/reference.h"
#include "recode/line_scan.h"
#include "recode/text_line_reader.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path, std::size_t blockSize) {
    recode::TextLineReader reader(blockSize);
    reader.open(path);
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    reader.close();
    fuzzing::Check(!reader.failure() && recode::takeIoResult() == 0, "read failed");
    return lines;
}

std::string ReadText(const std::string& path, std::size_t blockSize) {
    recode::TextLineReader reader(blockSize);
    reader.open(path);
    std::string text;
    for (std::string_view piece; !(piece = reader.readText()).empty();) {
        text += piece;
    }
    fuzzing::Check(reader.readText().empty(), "text after the end");
    reader.close();
    fuzzing::Check(!reader.failure() && recode::takeIoResult() == 0, "read failed");
    return text;
}

void CompareScans(const std::string& bytes) {
    using recode::ScanInstructions;
    const std::string block = bytes + std::string(recode::kScanSlack, '\n');  // never found
    const char* const data = block.data();
    const std::size_t size = bytes.size();
    for (std::size_t begin = 0; begin <= std::min<std::size_t>(size, 40); ++begin) {
        for (std::size_t end = std::max(begin, size - std::min<std::size_t>(size, 40)); end <= size;
             ++end) {
            fuzzing::Check(
                recode::FindCrOrLf(data + begin, data + end, ScanInstructions::Sse2) ==
                    recode::FindCrOrLf(data + begin, data + end, ScanInstructions::Plain),
                "the scans for CR or LF differ");
            for (const bool lineStart : {false, true}) {
                fuzzing::Check(recode::CrLfTextEnd(data + begin, data + end, lineStart,
                                                   ScanInstructions::Sse2) ==
                                   recode::CrLfTextEnd(data + begin, data + end, lineStart,
                                                       ScanInstructions::Plain),
                               "the scans for text as the writer writes it differ");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const lm::TempDir dir;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lm::Write(dir / "input.txt", bytes);
    CompareScans(bytes);
    const std::vector<std::string> lines = fuzzing::ReferenceLines(bytes);
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
        fuzzing::Check(ReadLines(dir / "input.txt", blockSize) == lines,
                       "lines differ from the reference");
        fuzzing::Check(ReadText(dir / "input.txt", blockSize) == text,
                       "text differs from the reference lines");
    }
    return 0;
}
