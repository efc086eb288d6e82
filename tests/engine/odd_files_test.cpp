// The pass given odd names and odd files: each ends either with the right output or with one
// "Bad file", and never harms a file it only reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "recode/io_result.h"
#include "recode/recoding_pass.h"
#include "support/recording_dialog.h"
#include "support/temp_dir.h"

namespace {

using recode::Field;
using testing_support::EventsOfAGoodPass;
using testing_support::EventsWithMessage;
using testing_support::ReadFileBytes;
using testing_support::RecordingDialog;
using testing_support::TempDir;

#ifdef _WIN32
const std::string kNullDevice = "NUL";
#else
const std::string kNullDevice = "/dev/null";
#endif

class OddFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        input = dir.write("input.txt", "abc\r\nb\xe0\r\n");
        table = dir.write("table.tab", "a=1\r\nb=\r\n\xe0=ya\r\n");
    }

    RecordingDialog Run(const std::string& in, const std::string& tab, const std::string& out) {
        RecordingDialog dialog(in, tab, out);
        recode::RecodingPass(dialog, files);
        EXPECT_EQ(recode::takeIoResult(), 0u);
        return dialog;
    }

    // Runs a pass that must end in "Bad file" blamed on `field`, with both read files unharmed.
    void ExpectBadFile(const std::string& in, const std::string& tab, const std::string& out,
                       Field field) {
        const std::string inputBytes = ReadFileBytes(input);
        const std::string tableBytes = ReadFileBytes(table);
        const RecordingDialog dialog = Run(in, tab, out);
        EXPECT_EQ(dialog.events, EventsWithMessage("Bad file"));
        ASSERT_EQ(dialog.messages.size(), 1u);
        EXPECT_EQ(dialog.messages[0].field, field);
        EXPECT_EQ(ReadFileBytes(input), inputBytes);
        EXPECT_EQ(ReadFileBytes(table), tableBytes);
    }

    TempDir dir;
    recode::PassFiles files;
    std::string input;
    std::string table;
    const std::string expected = "1c\r\nya\r\n";
    // The expected output recoded once more: "a" gives 1 again.
    const std::string recodedTwice = "1c\r\ny1\r\n";
};

// A name of exactly `length` characters in the test's folder, in sub-folders made for it where
// the system lets them be made, so that only the whole name's length is at stake.
std::string NameOfLength(const TempDir& dir, std::size_t length) {
    std::string name = dir.path("");
    while (length > name.size() + 200) {
        name += std::string(150, 'd') + "/";
        std::error_code ignored;
        std::filesystem::create_directory(name, ignored);
    }
    return name + std::string(length - name.size(), 'f');
}

TEST_F(OddFiles, LongNamesWorkInEveryPlaceOrInNone) {
    enum class Outcome { Works, Fails, UpToTheSystem };
    struct LengthCase {
        std::size_t length;
        Outcome outcome;
    };
#ifdef _WIN32
    // The ANSI calls are made for MAX_PATH, 259 characters and the terminator; whether one
    // character more still passes differs between systems (Wine lets it through).
    const LengthCase cases[] = {{259, Outcome::Works},
                                {260, Outcome::UpToTheSystem},
                                {300, Outcome::Fails},
                                {5000, Outcome::Fails}};
#else
    const LengthCase cases[] = {{259, Outcome::Works},
                                {260, Outcome::Works},
                                {300, Outcome::Works},
                                {5000, Outcome::Fails}};
#endif
    for (const LengthCase& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        const std::string name = NameOfLength(dir, c.length);
        ASSERT_EQ(name.size(), c.length);
        const RecordingDialog first = Run(input, table, name);
        const bool works = first.messages.empty();
        if (c.outcome != Outcome::UpToTheSystem) {
            EXPECT_EQ(works, c.outcome == Outcome::Works);
        }
        if (!works) {
            EXPECT_EQ(first.events, EventsWithMessage("Bad file"));
            ExpectBadFile(name, table, dir.path("out.txt"), Field::Input);
            ExpectBadFile(input, name, dir.path("out.txt"), Field::Table);
            continue;
        }
        EXPECT_EQ(ReadFileBytes(name), expected);
        // The output, read back as input and as table through the same long name.
        EXPECT_EQ(Run(name, table, dir.path("out.txt")).events, EventsOfAGoodPass());
        EXPECT_EQ(dir.read("out.txt"), recodedTwice);
        EXPECT_EQ(Run(input, name, dir.path("out.txt")).events, EventsOfAGoodPass());
    }
}

TEST_F(OddFiles, NamesWithBytesBeyondAscii) {
    // Windows-1251 letters, and the same word in UTF-8.
    for (const std::string& word :
         {std::string("\xef\xf0\xe8\xec\xe5\xf0"),
          std::string("\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80")}) {
        const std::string name = dir.path(word +
                                          " \xab"
                                          "1\xbb.txt");
        EXPECT_EQ(Run(input, table, name).events, EventsOfAGoodPass());
        EXPECT_EQ(Run(name, table, dir.path("out.txt")).events, EventsOfAGoodPass());
        EXPECT_EQ(dir.read("out.txt"), recodedTwice);
        EXPECT_EQ(Run(input, name, dir.path("out.txt")).events, EventsOfAGoodPass());
    }
}

TEST_F(OddFiles, FoldersAndMissingFoldersGiveBadFile) {
    const std::string folder = dir.path("");
    const std::string missing = dir.path("no-such-folder/file.txt");
    const std::string output = dir.write("out.txt", "untouched");
    ExpectBadFile(folder, table, output, Field::Input);
    ExpectBadFile(input, folder, output, Field::Table);
    ExpectBadFile(input, table, folder, Field::Output);
    ExpectBadFile(missing, table, output, Field::Input);
    ExpectBadFile(input, missing, output, Field::Table);
    ExpectBadFile(input, table, missing, Field::Output);
    EXPECT_EQ(dir.read("out.txt"), "untouched");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(OddFiles, BlanksOnlyNameIsHandedToTheOpen) {
    const std::string output = dir.write("out.txt", "untouched");
    ExpectBadFile("   ", table, output, Field::Input);
    ExpectBadFile(input, "   ", output, Field::Table);
#ifdef _WIN32
    // Windows drops trailing blanks, and nothing is left of the name.
    ExpectBadFile(input, table, "   ", Field::Output);
#endif
    EXPECT_EQ(dir.read("out.txt"), "untouched");
}

TEST_F(OddFiles, NullDeviceInEachPlace) {
    EXPECT_EQ(Run(kNullDevice, table, dir.path("out.txt")).events, EventsOfAGoodPass());
    EXPECT_EQ(dir.read("out.txt"), "");
    // Nothing to read is a table without entries.
    ExpectBadFile(input, kNullDevice, dir.path("out.txt"), Field::Table);
    EXPECT_EQ(Run(input, table, kNullDevice).events, EventsOfAGoodPass());
}

TEST_F(OddFiles, InputUnderAnotherNameIsRefusedAsOutput) {
    std::vector<std::string> otherNames = {dir.path("./input.txt"), dir.path("sub/../input.txt")};
    std::filesystem::create_directory(dir.path("sub"));
#ifndef _WIN32
    std::filesystem::create_hard_link(input, dir.path("hard-link.txt"));
    std::filesystem::create_symlink(input, dir.path("symlink.txt"));
    otherNames.push_back(dir.path("hard-link.txt"));
    otherNames.push_back(dir.path("symlink.txt"));
#endif
    for (const std::string& name : otherNames) {
        SCOPED_TRACE(name);
        ExpectBadFile(input, table, name, Field::Output);
    }
}

TEST_F(OddFiles, TableUnderAnotherNameMayBeTheOutput) {
    EXPECT_EQ(Run(input, table, dir.path("./table.tab")).events, EventsOfAGoodPass());
    EXPECT_EQ(ReadFileBytes(table), expected);
}

TEST_F(OddFiles, TenThousandEntriesOfOneKeyAllApply) {
    std::string entries;
    std::string joined;
    for (int i = 0; i < 10000; ++i) {
        entries += "a=" + std::to_string(i % 10) + "\r\n";
        joined += std::to_string(i % 10);
    }
    const RecordingDialog dialog =
        Run(dir.write("in.txt", "xa a\r\n"), dir.write("many.tab", entries), dir.path("out.txt"));
    EXPECT_EQ(dialog.events, EventsOfAGoodPass());
    EXPECT_EQ(dir.read("out.txt"), "x" + joined + " " + joined + "\r\n");
}

TEST_F(OddFiles, LongReplacementIsCutAt65535) {
    const std::string replacement(70000, 'r');
    Run(dir.write("in.txt", "ab\r\n"),
        dir.write("long.tab", "a=" + replacement + "\r\nb" + replacement), dir.path("out.txt"));
    EXPECT_EQ(dir.read("out.txt"),
              replacement.substr(0, 65535) + "b" + replacement.substr(0, 65534) + "\r\n");
}

TEST_F(OddFiles, MillionEntryTable) {
    std::string entries;
    for (int i = 0; i < 1000000; ++i) {
        entries += static_cast<char>('!' + i % 90);
        entries += "=" + std::to_string(i % 7) + "\n";
    }
    const RecordingDialog dialog =
        Run(dir.write("in.txt", "!#\r\n"), dir.write("huge.tab", entries), dir.path("out.txt"));
    EXPECT_EQ(dialog.events, EventsOfAGoodPass());
    // Keys '!' and '#' each have every 90th entry, from entry 0 and entry 2.
    std::string expected;
    for (int first : {0, 2}) {
        for (int i = first; i < 1000000; i += 90) {
            expected += std::to_string(i % 7);
        }
    }
    EXPECT_EQ(dir.read("out.txt"), expected + "\r\n");
}

}  // namespace
