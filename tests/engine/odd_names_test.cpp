// Odd names in each field, one row each: the log of the pass (message, field blamed, code), the
// files it must leave as they were, and a clean pass through the same readers and writer after it.
#include <gtest/gtest.h>

#include <vector>

#include "engine/support.h"

namespace {

using lm::BadFile;
using lm::LogOfPass;
using recode::Field;

const std::string kTable = "a=1\r\nb=\r\n\xe0=ya\r\n";
const std::string kInput = "abc\r\nb\xe0\r\n";
const std::string kOutput = "1c\r\nya\r\n";
const std::string kJunk = "an older output, longer than the new one";
const std::string kTooLong = "<too long>";  // a name cut after 259 bytes would be another file's

struct OddNames {
    const char* what;
    std::array<std::string, 3> names;  // "@NAME" lies in the test's folder
    std::string log;
    std::string writes = "";  // the file in the folder that the pass writes
    std::string written = kOutput;
};

std::string EmptyName(Field field) {
    const std::string name[] = {"Input", "Table", "Output"};
    const std::string shown = name[static_cast<int>(field)];
    return LogOfPass("File name is empty: " + shown + " 0|focus " + shown + "|", field);
}

std::vector<OddNames> Rows() {
    std::vector<OddNames> rows = {
        {"empty input", {"", "@table.tab", "@output.txt"}, EmptyName(Field::Input)},
        {"empty table", {"@input.txt", "", "@output.txt"}, EmptyName(Field::Table)},
        {"empty output", {"@input.txt", "@table.tab", ""}, EmptyName(Field::Output)},
        {"blank input", {"   ", "@table.tab", "@output.txt"}, BadFile(Field::Input, lm::kNotFound)},
        {"blank table", {"@input.txt", "   ", "@output.txt"}, BadFile(Field::Table, lm::kNotFound)},
        {"long input",
         {kTooLong, "@table.tab", "@output.txt"},
         BadFile(Field::Input, lm::kTooLong)},
        {"long table",
         {"@input.txt", kTooLong, "@output.txt"},
         BadFile(Field::Table, lm::kTooLong)},
        {"long output",
         {"@input.txt", "@table.tab", kTooLong},
         BadFile(Field::Output, lm::kTooLong)},
        {"folder input",
         {"@sub", "@table.tab", "@output.txt"},
         BadFile(Field::Input, lm::kIsFolder)},
        {"folder table",
         {"@input.txt", "@sub", "@output.txt"},
         BadFile(Field::Table, lm::kIsFolder)},
        {"folder output",
         {"@input.txt", "@table.tab", "@sub"},
         BadFile(Field::Output, lm::kIsFolder)},
        {"missing folder input",
         {"@no/input.txt", "@table.tab", "@output.txt"},
         BadFile(Field::Input, lm::kNoFolder)},
        {"missing folder table",
         {"@input.txt", "@no/table.tab", "@output.txt"},
         BadFile(Field::Table, lm::kNoFolder)},
        {"missing folder output",
         {"@input.txt", "@table.tab", "@no/output.txt"},
         BadFile(Field::Output, lm::kNoFolder)},
        // Nothing to read is a table without entries.
        {"device table",
         {"@input.txt", ON_WINDOWS_ELSE("NUL", "/dev/null"), "@output.txt"},
         BadFile(Field::Table, 0)},
        {"device output",
         {"@input.txt", "@table.tab", ON_WINDOWS_ELSE("NUL", "/dev/null")},
         LogOfPass()},
        {"input as output",
         {"@input.txt", "@table.tab", "@input.txt"},
         BadFile(Field::Output, lm::kInUse)},
        {"input as output by another name",
         {"@input.txt", "@table.tab", "@./input.txt"},
         BadFile(Field::Output, lm::kInUse)},
        {"input as output through a folder",
         {"@input.txt", "@table.tab", "@sub/../input.txt"},
         BadFile(Field::Output, lm::kInUse)},
        {"table as output", {"@input.txt", "@table.tab", "@table.tab"}, LogOfPass(), "table.tab"},
        {"table as output by another name",
         {"@input.txt", "@table.tab", "@./table.tab"},
         LogOfPass(),
         "table.tab"},
        {"input is the table",
         {"@table.tab", "@table.tab", "@output.txt"},
         LogOfPass(),
         "output.txt",
         "1=1\r\n=\r\nya=y1\r\n"},
#ifdef _WIN32
        // Windows drops trailing blanks, and the name is the folder's.
        {"blank output",
         {"@input.txt", "@table.tab", "@   "},
         BadFile(Field::Output, lm::kIsFolder)},
#else
        {"blank output", {"@input.txt", "@table.tab", "@   "}, LogOfPass(), "   "},
        {"hard link to the input as output",
         {"@input.txt", "@table.tab", "@hard.txt"},
         BadFile(Field::Output, lm::kInUse)},
        {"symbolic link to the input as output",
         {"@input.txt", "@table.tab", "@link.txt"},
         BadFile(Field::Output, lm::kInUse)},
        {"full device as output",
         {"@input.txt", "@table.tab", "/dev/full"},
         BadFile(Field::Output, ENOSPC)},
#endif
    };
    return rows;
}

TEST(OddNames, EachFollowedByACleanPass) {
    recode::PassFiles files(3);
    for (const OddNames& row : Rows()) {
        SCOPED_TRACE(row.what);
        const lm::TempDir dir;
        const std::string longName = dir / std::string(300, 'f');
        lm::Write(dir / "input.txt", kInput);
        lm::Write(dir / "table.tab", kTable);
        lm::Write(dir / "output.txt", kJunk);
        lm::Write(longName.substr(0, 259), kTable);
        std::filesystem::create_directory(dir / "sub");
#ifndef _WIN32
        std::filesystem::create_hard_link(dir / "input.txt", dir / "hard.txt");
        std::filesystem::create_symlink(dir / "input.txt", dir / "link.txt");
#endif
        std::array<std::string, 3> names;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string& name = row.names[i];
            names[i] = name == kTooLong        ? longName
                       : name.starts_with('@') ? dir / name.substr(1)
                                               : name;
        }
        EXPECT_EQ(lm::RunPass(files, names), row.log);
        EXPECT_EQ(lm::Read(dir / "input.txt"), kInput);
        EXPECT_EQ(lm::Read(dir / "table.tab"), row.writes == "table.tab" ? row.written : kTable);
        EXPECT_EQ(lm::Read(dir / "output.txt"), row.writes == "output.txt" ? row.written : kJunk);
        if (!row.writes.empty()) {
            EXPECT_EQ(lm::Read(dir / row.writes), row.written);
        }
        EXPECT_EQ(lm::Read(longName.substr(0, 259)), kTable);

        lm::Write(dir / "clean.tab", kTable);
        EXPECT_EQ(lm::RunPass(files, {dir / "input.txt", dir / "clean.tab", dir / "clean.txt"}),
                  LogOfPass());
        EXPECT_EQ(lm::Read(dir / "clean.txt"), kOutput);
    }
}

}  // namespace
