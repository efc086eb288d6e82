#include "recode/text_line_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "recode/io_result.h"
#include "recode/text_line_reader.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using recode::takeIoResult;
using recode::TextLineReader;
using recode::TextLineWriter;
using testing_support::TempDir;

std::string WriteLines(const std::string& path, const std::vector<std::string>& lines,
                       std::size_t blockSize = TextLineWriter::kDefaultBlockSize) {
    TextLineWriter writer(blockSize);
    writer.create(path);
    EXPECT_EQ(takeIoResult(), 0u);
    for (const std::string& line : lines) {
        writer.writeLine(line);
    }
    writer.close();
    EXPECT_EQ(takeIoResult(), 0u);
    return testing_support::ReadFileBytes(path);
}

TEST(TextLineWriter, EmptyTextWritesCrLfAlone) {
    TempDir dir;
    EXPECT_EQ(WriteLines(dir.path("out.txt"), {""}), "\r\n");
}

TEST(TextLineWriter, TwoHundredShortLinesMakeExactlyAThousandBytes) {
    TempDir dir;
    const std::string bytes = WriteLines(dir.path("out.txt"), std::vector<std::string>(200, "abc"));
    ASSERT_EQ(bytes.size(), 1000u);
    for (std::size_t i = 0; i < bytes.size(); i += 5) {
        ASSERT_EQ(bytes.substr(i, 5), "abc\r\n") << "at byte " << i;
    }
}

TEST(TextLineWriter, SameBytesWhateverTheBlockSize) {
    TempDir dir;
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) {
        lines.push_back(std::string(static_cast<std::size_t>(i * 7 % 301), static_cast<char>(i)));
    }
    const std::string reference = WriteLines(dir.path("ref.txt"), lines, 128);
    for (const std::size_t blockSize : {1u, 2u, 3u, 127u, 129u, 65536u}) {
        EXPECT_EQ(WriteLines(dir.path("out.txt"), lines, blockSize), reference)
            << "block size " << blockSize;
    }
}

TEST(TextLineWriter, CreateEmptiesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.write("out.txt", std::string(5000, 'z'));
    EXPECT_EQ(WriteLines(path, {"x"}), "x\r\n");
}

TEST(TextLineWriter, CreateOfAFileBeingReadFailsAndLeavesItAlone) {
    TempDir dir;
    const std::string path = dir.write("in.txt", "keep\r\nme\r\n");
    TextLineReader reader;
    reader.open(path);
    ASSERT_EQ(takeIoResult(), 0u);

    TextLineWriter writer;
    writer.create(path);
    EXPECT_EQ(takeIoResult(), testing_support::SharingViolationCode());
    EXPECT_EQ(testing_support::ReadFileBytes(path), "keep\r\nme\r\n");

    ASSERT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "keep");
    writer.close();  // it never opened
    EXPECT_EQ(takeIoResult(), recode::kClosedWhileNotOpen);
}

TEST(TextLineWriter, FileBeingWrittenCannotBeOpenedForReading) {
    TempDir dir;
    const std::string path = dir.path("out.txt");
    TextLineWriter writer;
    writer.create(path);
    ASSERT_EQ(takeIoResult(), 0u);
    TextLineReader reader;
    reader.open(path);
    EXPECT_EQ(takeIoResult(), testing_support::SharingViolationCode());
    writer.close();
    reader.open(path);
    EXPECT_EQ(takeIoResult(), 0u);
}

TEST(TextLineWriter, CreateInMissingFolderFails) {
    TempDir dir;
    TextLineWriter writer;
    writer.create(dir.path("no-such-folder/out.txt"));
    EXPECT_NE(takeIoResult(), 0u);
}

TEST(TextLineWriter, CreateAgainClosesTheFirstFile) {
    TempDir dir;
    TextLineWriter writer;
    writer.create(dir.path("first.txt"));
    writer.writeLine("one");
    writer.create(dir.path("second.txt"));
    writer.writeLine("two");
    writer.close();
    EXPECT_EQ(takeIoResult(), 0u);
    EXPECT_EQ(dir.read("first.txt"), "one\r\n");
    EXPECT_EQ(dir.read("second.txt"), "two\r\n");
}

#ifndef _WIN32
// /dev/full is a real device that refuses every write with ENOSPC; being a character device,
// it also gets every line flushed at once.
TEST(TextLineWriter, FullDeviceReportsTheSystemsCode) {
    TextLineWriter writer;
    writer.create("/dev/full");
    ASSERT_EQ(takeIoResult(), 0u);
    writer.writeLine("x");
    EXPECT_EQ(takeIoResult(), static_cast<unsigned>(ENOSPC));
    EXPECT_TRUE(writer.hasFailed());
    writer.close();
    EXPECT_EQ(takeIoResult(), 0u);
}

// A pipe whose reader has gone refuses the last block at close; the writer then keeps the pipe
// until it is closed a second time, so the handle is never abandoned.
TEST(TextLineWriter, FailedFinalWriteKeepsFileOpenUntilClosedAgain) {
    TempDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int readEnd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(readEnd, 0);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);

    TextLineWriter writer(65536);
    writer.create(fifo);
    ASSERT_EQ(takeIoResult(), 0u);
    ::close(readEnd);
    writer.writeLine("x");
    EXPECT_EQ(takeIoResult(), 0u);  // still in the buffer
    writer.close();
    EXPECT_EQ(takeIoResult(), static_cast<unsigned>(EPIPE));
    writer.close();
    EXPECT_EQ(takeIoResult(), 0u);  // it was still open
    writer.close();
    EXPECT_EQ(takeIoResult(), recode::kClosedWhileNotOpen);

    std::signal(SIGPIPE, previous);
}
#endif

}  // namespace
