// Odd names and odd files given to lettermill-recode: the right output or a message that names
// the file and the reason, with an exit code by meaning; never a harmed input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/run_recode.h"
#include "support/temp_dir.h"

namespace {

using testing_support::RunRecode;
using testing_support::RunResult;
using testing_support::TempDir;

class OddFilesCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("in.txt", "abc\r\nb\xe0\n");
        dir.write("k.tab", "a=1\r\nb=\r\n\xe0=ya\r\n");
    }

    // Runs each case, then makes sure that neither file that is only read has changed.
    void RunCases(const std::vector<testing_support::ExpectedRun>& runs) {
        testing_support::ExpectRuns(dir, runs);
        EXPECT_EQ(dir.read("in.txt"), "abc\r\nb\xe0\n");
        EXPECT_EQ(dir.read("k.tab"), "a=1\r\nb=\r\n\xe0=ya\r\n");
    }

    TempDir dir;
    const std::string recoded = "1c\r\nya\r\n";
};

TEST_F(OddFilesCli, NamesThatGiveMessages) {
    const std::string longName(5000, 'n');
    const std::vector<testing_support::ExpectedRun> runs = {
        {"empty output name", "-t k.tab -o '' in.txt", 2,
         "lettermill-recode: File name is empty\n"},
        {"blanks-only input", "-t k.tab '   '", 1,
         "lettermill-recode:    : Bad file (No such file or directory)\n"},
        {"blanks-only table", "-t '   ' in.txt", 1,
         "lettermill-recode:    : Bad file (No such file or directory)\n"},
        {"5000-character output name", "-t k.tab -o " + longName + " in.txt", 1,
         "lettermill-recode: " + longName + ": Bad file (File name too long)\n"},
        {"5000-character input name", "-t k.tab " + longName, 1,
         "lettermill-recode: " + longName + ": Bad file (File name too long)\n"},
        {"folder as input", "-t k.tab .", 1, "lettermill-recode: .: Bad file (Is a directory)\n"},
        {"folder as table", "-t . in.txt", 1, "lettermill-recode: .: Bad file (Is a directory)\n"},
        {"missing folder", "-t k.tab -o no/such/out.txt in.txt", 1,
         "lettermill-recode: no/such/out.txt: Bad file (No such file or directory)\n"},
        {"null device as table", "-t /dev/null in.txt", 1,
         "lettermill-recode: /dev/null: Bad file (no table entries)\n"},
        {"input as output under another name", "-t k.tab -o ./in.txt in.txt", 1,
         "lettermill-recode: ./in.txt: Bad file (Device or resource busy)\n"},
    };
    RunCases(runs);
}

TEST_F(OddFilesCli, NamesThatWork) {
    const std::string name300 = std::string(150, 'd') + "/" + std::string(149, 'f');
    std::filesystem::create_directory(dir.path(std::string(150, 'd')));
    const std::vector<testing_support::ExpectedRun> runs = {
        {"null device as input", "-t k.tab /dev/null", 0, ""},
        {"null device as output", "-t k.tab -o /dev/null in.txt", 0, ""},
        {"300-character name", "-t k.tab -o " + name300 + " in.txt", 0, ""},
        {"non-ASCII name", "-t k.tab -o \xef\xf0\xe8\xec\xe5\xf0.txt in.txt", 0, ""},
        {"blanks-only output", "-t k.tab -o '   ' in.txt", 0, ""},
    };
    RunCases(runs);
    EXPECT_EQ(dir.read(name300), recoded);
    EXPECT_EQ(dir.read("\xef\xf0\xe8\xec\xe5\xf0.txt"), recoded);
    EXPECT_EQ(dir.read("   "), recoded);
    // And the names read back: the output as a table ("1" gives "1c", "y" gives "ya") recoding
    // the output.
    const RunResult run = RunRecode(dir, "-t \xef\xf0\xe8\xec\xe5\xf0.txt " + name300);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "1cc\r\nyaa\r\n");
}

TEST_F(OddFilesCli, TableMayBeItsOwnOutput) {
    const RunResult run = RunRecode(dir, "-t k.tab -o k.tab in.txt");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(dir.read("k.tab"), recoded);
}

TEST_F(OddFilesCli, InputAsOutputThroughLinks) {
    std::filesystem::create_symlink("in.txt", dir.path("symlink.txt"));
    std::filesystem::create_hard_link(dir.path("in.txt"), dir.path("hard-link.txt"));
    const std::vector<testing_support::ExpectedRun> runs = {
        {"symbolic link", "-t k.tab -o symlink.txt in.txt", 1,
         "lettermill-recode: symlink.txt: Bad file (Device or resource busy)\n"},
        {"hard link", "-t k.tab -o hard-link.txt in.txt", 1,
         "lettermill-recode: hard-link.txt: Bad file (Device or resource busy)\n"},
    };
    RunCases(runs);
}

struct StreamCase {
    const char* name;
    std::string streams;
    std::string err;
};

// Standard streams that cannot be used: a full device, or closed altogether.
TEST_F(OddFilesCli, StandardStreamsThatFail) {
    const StreamCase cases[] = {
        {"output to a full device", "<in.txt >/dev/full",
         "lettermill-recode: -: Bad file (No space left on device)\n"},
        {"output closed", "<in.txt >&-", "lettermill-recode: -: Bad file (Bad file descriptor)\n"},
        {"input closed", "<&- >.stdout", "lettermill-recode: -: Bad file (Bad file descriptor)\n"},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult run = RunRecode(dir, "-t k.tab", "", "", c.streams);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, c.err);
    }
}

// A device that never ends, as input or table, is one endless line: it ends in the exit for
// exhausted memory, not in a crash or a hang.
TEST_F(OddFilesCli, EndlessDeviceMeetsTheMemoryLimit) {
    if (!testing_support::CanLimitMemory()) {
        GTEST_SKIP() << "no memory limit under AddressSanitizer";
    }
    for (const std::string arguments : {"-t k.tab -o out.txt /dev/full", "-t /dev/zero in.txt"}) {
        SCOPED_TRACE(arguments);
        const RunResult run = RunRecode(dir, arguments, "", "ulimit -v 100000 &&");
        EXPECT_EQ(run.exitCode, 203);
        EXPECT_EQ(run.err, "");
    }
}

}  // namespace

// Found by these tests: the standard streams took no lock, so a file given both as standard
// input and as output was emptied before it was read, and a file read while standard output
// appended to it grew without end.
TEST_F(OddFilesCli, FileOnAStandardStreamIsNotAlsoTheOtherFile) {
    // Larger than one read request, so that an unlocked run would read its own output.
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "line " + std::to_string(i) + " with some a and b\n";
    }
    const StreamCase cases[] = {
        {"standard input named as output", "-o f.txt <f.txt >.stdout",
         "lettermill-recode: f.txt: Bad file (Device or resource busy)\n"},
        {"input appended to by standard output", "f.txt >>f.txt",
         "lettermill-recode: -: Bad file (Device or resource busy)\n"},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("f.txt", text);
        const RunResult run = RunRecode(dir, "-t k.tab", "", "timeout 5", c.streams);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(dir.read("f.txt"), text);
    }
}

// Found by the test above once its fix was in: the lock on a file behind standard output
// outlived the program, held by the shell that had opened the file, so a later program could
// not read that file.
TEST_F(OddFilesCli, NoLockOutlivesTheProgram) {
    const std::string first =
        "exec >f.txt; '" + std::string(LETTERMILL_RECODE_PATH) + "' -t k.tab in.txt;";
    const RunResult run =
        RunRecode(dir, "-t k.tab -o again.txt f.txt", "", first, "<.stdin >/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(dir.read("f.txt"), recoded);
    EXPECT_EQ(dir.read("again.txt"), "1c\r\ny1\r\n");
}
