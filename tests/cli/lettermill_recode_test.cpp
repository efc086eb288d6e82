// lettermill-recode as a user runs it: a real process, real files, exit codes and messages.
#include <gtest/gtest.h>

#include <string>

#include "cli/run_recode.h"
#include "support/temp_dir.h"

namespace {

using testing_support::RunRecode;
using testing_support::RunResult;
using testing_support::TempDir;

const std::string kSampleDir = std::string(LETTERMILL_SOURCE_DIR) + "/sample/";

TEST(LettermillRecode, RecodesTheSampleExactly) {
    TempDir dir;
    const RunResult run =
        RunRecode(dir, "-t " + kSampleDir + "win2trans.tab -o out.txt " + kSampleDir + "input.txt");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(dir.read("out.txt"), testing_support::ReadFileBytes(kSampleDir + "expected.txt"));
}

TEST(LettermillRecode, StandardInputToStandardOutputWithTableFromCurrentFolder) {
    TempDir dir;
    dir.write("win2trans.tab", "a=1\na=2\nb=\n");
    const RunResult run = RunRecode(dir, "", "abc\nlast");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "12c\r\nl12st\r\n");
}

TEST(LettermillRecode, DashNamesTheStandardStreams) {
    TempDir dir;
    dir.write("k.tab", "x=y\n");
    const RunResult run = RunRecode(dir, "-t k.tab -o - -", "xx\r\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "yy\r\n");
}

TEST(LettermillRecode, FailuresTellWhatAndExitByMeaning) {
    TempDir dir;
    dir.write("in.txt", "text\n");
    dir.write("k.tab", "t=T\n");
    dir.write("empty.tab", "\n\n");
    const std::vector<testing_support::ExpectedRun> runs = {
        {"empty table name", "-t '' in.txt", 2, "lettermill-recode: File name is empty\n"},
        {"empty input name", "-t k.tab ''", 2, "lettermill-recode: File name is empty\n"},
        {"missing input", "-t k.tab nope.txt", 1,
         "lettermill-recode: nope.txt: Bad file (No such file or directory)\n"},
        {"missing table", "-t nope.tab in.txt", 1,
         "lettermill-recode: nope.tab: Bad file (No such file or directory)\n"},
        {"table without entries", "-t empty.tab in.txt", 1,
         "lettermill-recode: empty.tab: Bad file (no table entries)\n"},
        {"input as output", "-t k.tab -o in.txt in.txt", 1,
         "lettermill-recode: in.txt: Bad file (Device or resource busy)\n"},
        {"full disk", "-t k.tab -o /dev/full in.txt", 1,
         "lettermill-recode: /dev/full: Bad file (No space left on device)\n"},
        {"folder as output", "-t k.tab -o . in.txt", 1,
         "lettermill-recode: .: Bad file (Is a directory)\n"},
    };
    testing_support::ExpectRuns(dir, runs);
    EXPECT_EQ(dir.read("in.txt"), "text\n");
}

TEST(LettermillRecode, UsageErrorsExitWithTwo) {
    TempDir dir;
    for (const char* arguments : {"-x", "-t", "a b"}) {
        const RunResult run = RunRecode(dir, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.err.find("usage: lettermill-recode"), std::string::npos) << arguments;
    }
}

TEST(LettermillRecode, HelpAndVersion) {
    TempDir dir;
    const RunResult version = RunRecode(dir, "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "lettermill-recode 0.41\n");
    const RunResult help = RunRecode(dir, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: lettermill-recode", 0), 0u);
}

// A line that does not fit in memory ends the process with 203, without a message.
TEST(LettermillRecode, ExhaustedMemoryExitsWith203) {
    if (!testing_support::CanLimitMemory()) {
        GTEST_SKIP() << "no memory limit under AddressSanitizer";
    }
    TempDir dir;
    dir.write("k.tab", "a=b\n");
    const RunResult run =
        RunRecode(dir, "-t k.tab -o out.txt huge.txt", "",
                  "head -c 150000000 /dev/zero > huge.txt && ulimit -v 100000 &&");
    EXPECT_EQ(run.exitCode, 203);
    EXPECT_EQ(run.err, "");
}

}  // namespace

const std::string kTablesDir = std::string(LETTERMILL_SOURCE_DIR) + "/tables/";

// The shipped tables are clean but for what they mean to do: the no-break space of
// win2trans.tab becomes one blank.
TEST(LettermillRecodeCheck, ShippedTablesHaveOnlyIntendedFindings) {
    const std::pair<std::string, std::string> cases[] = {
        {kTablesDir + "koi2win.tab", ""},
        {kTablesDir + "win2trans.tab",
         kTablesDir + "win2trans.tab:112: replacement ends in 1 blank\n"},
        {kSampleDir + "win2trans.tab",
         kSampleDir + "win2trans.tab:112: replacement ends in 1 blank\n"},
    };
    TempDir dir;
    for (const auto& [table, findings] : cases) {
        const RunResult run = RunRecode(dir, "--check " + table);
        EXPECT_EQ(run.out, findings);
        EXPECT_EQ(run.exitCode, findings.empty() ? 0 : 1) << table;
        EXPECT_EQ(run.err, "");
    }
    // The intended finding is the no-break space entry, A0 "=" blank.
    const std::string win2trans = testing_support::ReadFileBytes(kTablesDir + "win2trans.tab");
    EXPECT_NE(win2trans.find("\r\n\xa0= \r\n"), std::string::npos);
}

TEST(LettermillRecodeCheck, FindingsOnStandardOutput) {
    TempDir dir;
    dir.write("odd.tab", "a=1\r\nab=2\r\n =x\r\n");
    const RunResult run = RunRecode(dir, "--check odd.tab");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "odd.tab:2: 1 byte between the key and the first \"=\" is ignored\n"
              "odd.tab:2: key 'a' already has an entry on line 1: the replacements are joined\n"
              "odd.tab:3: entry never applies: its key 0x20 is at or below the blank\n");
    EXPECT_EQ(run.err, "");
}

TEST(LettermillRecodeCheck, FailuresAsThePassReportsThem) {
    TempDir dir;
    dir.write("empty.tab", "\r\n");
    const std::vector<testing_support::ExpectedRun> runs = {
        {"missing table", "--check nope.tab", 1,
         "lettermill-recode: nope.tab: Bad file (No such file or directory)\n"},
        {"table without entries", "--check empty.tab", 1,
         "lettermill-recode: empty.tab: Bad file (no table entries)\n"},
        {"folder", "--check .", 1, "lettermill-recode: .: Bad file (Is a directory)\n"},
        {"empty name", "--check ''", 2, "lettermill-recode: File name is empty\n"},
    };
    testing_support::ExpectRuns(dir, runs);
}
