#include "recode/table_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recode/io_result.h"
#include "support/temp_dir.h"

namespace {

using recode::TableFinding;
using testing_support::TempDir;

recode::TableCheck CheckBytes(const std::string& bytes) {
    TempDir dir;
    recode::TextLineReader reader;
    reader.open(dir.write("t.tab", bytes));
    EXPECT_EQ(recode::takeIoResult(), 0u);
    recode::TableCheck check = recode::CheckTable(reader);
    reader.close();
    EXPECT_EQ(recode::takeIoResult(), 0u);
    return check;
}

std::vector<std::string> Describe(const std::vector<TableFinding>& findings) {
    std::vector<std::string> lines;
    for (const TableFinding& finding : findings) {
        lines.push_back(std::to_string(finding.line) + ": " + finding.message);
    }
    return lines;
}

struct CheckCase {
    const char* name;
    std::string table;
    std::vector<std::string> findings;
};

TEST(CheckTable, FindingsByLine) {
    const CheckCase cases[] = {
        {"plain entries", "a=xyz\r\nb=\r\n\xe0=ya\r\n==x\r\nc=b=c\r\n", {}},
        {"blank key", " =_\r\n", {"1: entry never applies: its key 0x20 is at or below the blank"}},
        {"tab key, nothing else said",
         "\t=x \r\n\t=y\r\n",
         {"1: entry never applies: its key 0x09 is at or below the blank",
          "2: entry never applies: its key 0x09 is at or below the blank"}},
        {"blanks only",
         "   \r\n",
         {"1: entry never applies: its key 0x20 is at or below the blank"}},
        {"no equals", "abc\r\n", {"1: no \"=\": the whole line replaces the key 'a'"}},
        {"one ignored byte",
         "ab=c\r\n",
         {"1: 1 byte between the key and the first \"=\" is ignored"}},
        {"ignored bytes",
         "\xe0\xe1\xe2=c\r\n",
         {"1: 2 bytes between the key and the first \"=\" are ignored"}},
        {"trailing blank", "\xa0= \r\n", {"1: replacement ends in 1 blank"}},
        {"trailing blank and tab", "a=x \t\r\n", {"1: replacement ends in 2 blanks"}},
        {"blank replacement with no equals",
         "a  \r\n",
         {"1: no \"=\": the whole line replaces the key 'a'", "1: replacement ends in 2 blanks"}},
        {"joined entries, empty lines counted",
         "a=1\r\n\r\nb=2\r\na=3\r\na=4\r\n",
         {"4: key 'a' already has an entry on line 1: the replacements are joined",
          "5: key 'a' already has an entry on line 1: the replacements are joined"}},
        {"lone CR dropped as the pass drops it", "a=x\r \r\n", {"1: replacement ends in 1 blank"}},
        {"nothing after Ctrl-Z",
         "a=1\r\n\x1a"
         "a=2 \r\n",
         {}},
        {"cut replacement",
         "a=" + std::string(70000, 'r') + "\r\n",
         {"1: replacement of 70000 bytes is cut to 65535"}},
        {"replacement of exactly 65535 bytes", "a=" + std::string(65535, 'r') + "\r\n", {}},
        {"cut line without equals",
         std::string(65536, 'n'),
         {"1: no \"=\": the whole line replaces the key 'n'",
          "1: replacement of 65536 bytes is cut to 65535"}},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Describe(CheckBytes(c.table).findings), c.findings);
    }
}

TEST(CheckTable, CountsEntriesAsThePassDoes) {
    EXPECT_EQ(CheckBytes("").entries, 0u);
    EXPECT_EQ(CheckBytes("\r\n\n\r\n").entries, 0u);
    EXPECT_EQ(CheckBytes("\x1a"
                         "a=b\r\n")
                  .entries,
              0u);
    EXPECT_EQ(CheckBytes("a=1\r\n\r\n \r\nb\n").entries, 3u);
}

// 10 000 entries of one key: each one after the first is reported, with the first's line.
TEST(CheckTable, ManyEntriesOfOneKey) {
    std::string table;
    for (int i = 0; i < 10000; ++i) {
        table += "k=" + std::to_string(i) + "\r\n";
    }
    const recode::TableCheck check = CheckBytes(table);
    EXPECT_EQ(check.entries, 10000u);
    ASSERT_EQ(check.findings.size(), 9999u);
    EXPECT_EQ(check.findings.back().line, 10000u);
    EXPECT_EQ(check.findings.back().message,
              "key 'k' already has an entry on line 1: the replacements are joined");
}

}  // namespace
