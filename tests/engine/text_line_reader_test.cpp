#include "recode/text_line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recode/io_result.h"
#include "support/temp_dir.h"

namespace {

using recode::takeIoResult;
using recode::TextLineReader;
using testing_support::TempDir;
using Lines = std::vector<std::string>;

const std::string kCR = "\r";
const std::string kLF = "\n";
const std::string kCtrlZ = "\x1a";

Lines ReadAll(TextLineReader& reader) {
    Lines lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    return lines;
}

Lines ReadFileLines(const std::string& path, std::size_t blockSize) {
    TextLineReader reader(blockSize);
    reader.open(path);
    EXPECT_EQ(takeIoResult(), 0u);
    Lines lines = ReadAll(reader);
    reader.close();
    EXPECT_EQ(takeIoResult(), 0u);
    return lines;
}

struct LineCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

std::string Repeat(char c, std::size_t count) {
    return std::string(count, c);
}

// Every byte except CR, LF and Ctrl-Z, so a line of them comes back as it went in.
std::string OrdinaryBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != 0x1a) {
            bytes.push_back(static_cast<char>(b));
        }
    }
    return bytes;
}

const LineCase kLineCases[] = {
    {"EmptyFile", "", {}},
    {"CrLfSeparatedNoFinalTerminator", "a" + kCR + kLF + "b", {"a", "b"}},
    {"FinalTerminatorGivesNoEmptyLine", "a" + kCR + kLF, {"a"}},
    {"TwoTerminators", "a" + kCR + kLF + kCR + kLF, {"a", ""}},
    {"LfLineEnds", "a" + kLF + "b" + kLF, {"a", "b"}},
    {"LfThenCrLf", kLF + kCR + kLF, {"", ""}},
    {"LoneCrInsideLineIsDropped", "a" + kCR + "b" + kCR + kLF, {"ab"}},
    {"CrAtEndOfFile", "a" + kCR, {"a"}},
    {"LfThenCrAtEnd", "a" + kLF + kCR, {"a", ""}},
    {"CrCrLf", "a" + kCR + kCR + kLF, {"a"}},
    {"CrOnlySeparatorsReadAsOneLine", "a" + kCR + "b" + kCR + "c", {"abc"}},
    {"CtrlZAtStartEndsInput", kCtrlZ + "a" + kCR + kLF + "b", {}},
    {"CtrlZWhereLineBeginsEndsInput", "a" + kCR + kLF + kCtrlZ + "b" + kCR + kLF, {"a"}},
    {"CtrlZInsideLineIsOrdinary", "a" + kCtrlZ + "b" + kLF + "c", {"a" + kCtrlZ + "b", "c"}},
    {"CrBeforeCtrlZKeepsIt", kCR + kCtrlZ + "x", {kCtrlZ + "x"}},
    {"CrLfAcrossBlockBoundary", Repeat('x', 127) + kCR + kLF + "y", {Repeat('x', 127), "y"}},
    {"LoneCrAtBlockBoundary", Repeat('x', 127) + kCR + "y", {Repeat('x', 127) + "y"}},
    // A Ctrl-Z opening a 128-byte request inside a line is an ordinary byte like any other.
    {"CtrlZInsideLineAtBlockBoundary",
     Repeat('x', 128) + kCtrlZ + "y",
     {Repeat('x', 128) + kCtrlZ + "y"}},
    {"Line254", Repeat('a', 254) + kLF, {Repeat('a', 254)}},
    {"Line255", Repeat('b', 255) + kLF, {Repeat('b', 255)}},
    {"Line256", Repeat('c', 256) + kLF, {Repeat('c', 256)}},
    {"Line510", Repeat('d', 510) + kCR + kLF, {Repeat('d', 510)}},
    {"Line100000", Repeat('e', 100000) + kCR + kLF + "f", {Repeat('e', 100000), "f"}},
    {"NulAndHighBytesKept",
     OrdinaryBytes() + kCR + kLF + OrdinaryBytes(),
     {OrdinaryBytes(), OrdinaryBytes()}},
};

void PrintTo(const LineCase& lineCase, std::ostream* out) {
    *out << lineCase.name;
}

class LineRules : public ::testing::TestWithParam<LineCase> {};

// The lines must not depend on where the read requests happen to split the file.
TEST_P(LineRules, SameLinesWhateverTheBlockSize) {
    TempDir dir;
    const std::string path = dir.write("in.txt", GetParam().bytes);
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 128u, 65536u}) {
        SCOPED_TRACE("block size " + std::to_string(blockSize));
        EXPECT_EQ(ReadFileLines(path, blockSize), GetParam().lines);
    }
}

INSTANTIATE_TEST_SUITE_P(TextLineReader, LineRules, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextLineReader, MissingFileThenCloseThenNothing) {
    TempDir dir;
    TextLineReader reader;
    reader.open(dir.path("missing.txt"));
    EXPECT_EQ(takeIoResult(), testing_support::FileNotFoundCode());
    reader.close();
    EXPECT_EQ(takeIoResult(), recode::kClosedWhileNotOpen);
    EXPECT_EQ(takeIoResult(), 0u);
}

TEST(TextLineReader, UseWhileNotOpenStores104) {
    TextLineReader reader;
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(takeIoResult(), recode::kUsedWhileNotOpen);
    EXPECT_EQ(reader.readLine(), "");
    EXPECT_EQ(takeIoResult(), recode::kUsedWhileNotOpen);
}

TEST(TextLineReader, SecondOpenStartsAgainFromTheBeginning) {
    TempDir dir;
    const std::string path = dir.write("in.txt", "one\r\ntwo\r\n");
    TextLineReader reader;
    reader.open(path);
    EXPECT_EQ(reader.readLine(), "one");
    reader.open(path);
    EXPECT_EQ(ReadAll(reader), (Lines{"one", "two"}));
    reader.close();
    EXPECT_EQ(takeIoResult(), 0u);
}

TEST(TextLineReader, TwoReadersMayHoldOneFile) {
    TempDir dir;
    const std::string path = dir.write("in.txt", "a\nb\n");
    TextLineReader first;
    TextLineReader second;
    first.open(path);
    second.open(path);
    EXPECT_EQ(takeIoResult(), 0u);
    EXPECT_EQ(ReadAll(second), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAll(first), (Lines{"a", "b"}));
}

TEST(TextLineReader, FolderCannotBeOpened) {
    TempDir dir;
    TextLineReader reader;
    reader.open(dir.path(""));
    EXPECT_NE(takeIoResult(), 0u);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(takeIoResult(), recode::kUsedWhileNotOpen);
}

TEST(TextLineReader, NameWithNulIsRefusedNotCut) {
    TempDir dir;
    const std::string path = dir.write("in.txt", "a\n");
    TextLineReader reader;
    reader.open(path + std::string(1, '\0') + "ignored");
    EXPECT_NE(takeIoResult(), 0u);
}

TEST(IoResult, TakenTwiceAfterOneFailure) {
    recode::storeIoResult(5);
    EXPECT_EQ(takeIoResult(), 5u);
    EXPECT_EQ(takeIoResult(), 0u);
}

TEST(IoResult, LaterFailureReplacesEarlierAndSuccessKeepsIt) {
    TempDir dir;
    const std::string path = dir.write("in.txt", "a\n");
    TextLineReader reader;
    reader.close();                    // 103
    reader.open(dir.path("missing"));  // replaces it with the system's code
    TextLineReader good;
    good.open(path);  // a success leaves the pending code alone
    EXPECT_EQ(takeIoResult(), testing_support::FileNotFoundCode());
}

}  // namespace
