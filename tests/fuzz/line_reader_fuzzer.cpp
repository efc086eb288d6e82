// Arbitrary bytes as a file: every block size must give the lines that the byte-at-a-time
// reference splitter gives, and drop what it drops, under either rule for lone CRs, whether they
// are read one by one or, as the pass reads them, as one text in pieces with every line ended in
// CR LF. And the reader's vector scans must find what the plain ones find, from any start to any
// end, whatever lies in the slack after the end.
#include <cstddef>
#include <cstdint>
#include <algorithm>

#include "support/support.h"
#include "fuzz/reference.h"
#include "recode/line_scan.h"
#include "recode/text_line_reader.h"

namespace {

// What a reader of the given block size and line rules gives, read one way or the other.
struct Reading {
    std::vector<std::string> lines;
    std::string text;
    recode::TextLineReader::Dropped dropped;
};

Reading ReadLines(const std::string& path, std::size_t blockSize, bool loneCrEndsLine) {
    recode::TextLineReader reader(blockSize);
    reader.setLoneCrEndsLine(loneCrEndsLine);
    reader.open(path);
    Reading reading;
    while (!reader.atEnd()) {
        reading.lines.emplace_back(reader.readLine());
    }
    reading.dropped = reader.dropped();
    reader.close();
    fuzzing::Check(!reader.failure() && recode::takeIoResult() == 0, "read failed");
    return reading;
}

Reading ReadText(const std::string& path, std::size_t blockSize, bool loneCrEndsLine) {
    recode::TextLineReader reader(blockSize);
    reader.setLoneCrEndsLine(loneCrEndsLine);
    reader.open(path);
    Reading reading;
    for (std::string_view piece; !(piece = reader.readText()).empty();) {
        reading.text += piece;
    }
    fuzzing::Check(reader.readText().empty(), "text after the end");
    reading.dropped = reader.dropped();
    reader.close();
    fuzzing::Check(!reader.failure() && recode::takeIoResult() == 0, "read failed");
    return reading;
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
    for (const bool loneCrEndsLine : {false, true}) {
        const fuzzing::ReferenceReading expected = fuzzing::ReferenceRead(bytes, loneCrEndsLine);
        const recode::TextLineReader::Dropped dropped{expected.loneCrs, expected.afterEndMark};
        std::string text;
        for (const std::string& line : expected.lines) {
            text += line + "\r\n";
        }
        for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
            const Reading byLines = ReadLines(dir / "input.txt", blockSize, loneCrEndsLine);
            fuzzing::Check(byLines.lines == expected.lines, "lines differ from the reference");
            fuzzing::Check(byLines.dropped == dropped, "lines drop other than the reference");
            const Reading asText = ReadText(dir / "input.txt", blockSize, loneCrEndsLine);
            fuzzing::Check(asText.text == text, "text differs from the reference lines");
            fuzzing::Check(asText.dropped == dropped, "text drops other than the reference");
        }
    }
    return 0;
}
