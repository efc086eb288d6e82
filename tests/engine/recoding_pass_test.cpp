#include "recode/recoding_pass.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "recode/io_result.h"
#include "support/recording_dialog.h"
#include "support/temp_dir.h"

namespace {

using recode::Field;
using recode::PassFiles;
using recode::RecodingPass;
using recode::takeIoResult;
using testing_support::Events;
using testing_support::EventsWithMessage;
using testing_support::RecordingDialog;
using testing_support::TempDir;

int IdOf(Field field) {
    return static_cast<int>(field);
}

const Events kEventsOfAGoodPass = testing_support::EventsOfAGoodPass();

class RecodingPassTest : public ::testing::Test {
  protected:
    // The files of the worked example: two entries for "a", an empty one for "b".
    void SetUp() override {
        input = dir.write("input.txt", "a b=c!\r\nabc\nlast line");
        table = dir.write("win2trans.tab", "a=1\r\nb=\r\nc\r\n\r\n==-\r\na=2\r\n =_\r\n");
        output = dir.path("output.txt");
    }

    RecordingDialog Run(const std::string& in, const std::string& tab, const std::string& out) {
        RecordingDialog dialog(in, tab, out);
        RecodingPass(dialog, files);
        // Nothing of a pass may be left pending for the next one.
        EXPECT_EQ(takeIoResult(), 0u);
        return dialog;
    }

    TempDir dir;
    PassFiles files;
    std::string input;
    std::string table;
    std::string output;
};

TEST_F(RecodingPassTest, WorkedExampleEndToEnd) {
    const RecordingDialog dialog = Run(input, table, output);
    EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
    EXPECT_EQ(testing_support::ReadFileBytes(output), "12 =-c!\r\n12c\r\nl12st line\r\n");
}

TEST_F(RecodingPassTest, EmptyInputGivesEmptyOutput) {
    const RecordingDialog dialog = Run(dir.write("empty.txt", ""), table, output);
    EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
    EXPECT_EQ(testing_support::ReadFileBytes(output), "");
}

TEST_F(RecodingPassTest, EmptyLinesStayAndNoExtraLineAtTheEnd) {
    Run(dir.write("in.txt", "\r\n\nb\r\n"), table, output);
    EXPECT_EQ(testing_support::ReadFileBytes(output), "\r\n\r\n\r\n");
}

struct EmptyNameCase {
    const char* name;
    bool inputEmpty, tableEmpty, outputEmpty;
    Field focused;
};

TEST_F(RecodingPassTest, FirstEmptyNameIsReportedAndFocused) {
    const EmptyNameCase cases[] = {
        {"all empty", true, true, true, Field::Input},
        {"table and output empty", false, true, true, Field::Table},
        {"table empty", false, true, false, Field::Table},
        {"output empty", false, false, true, Field::Output},
    };
    dir.write("output.txt", "untouched");
    for (const EmptyNameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordingDialog dialog =
            Run(c.inputEmpty ? "" : input, c.tableEmpty ? "" : table, c.outputEmpty ? "" : output);
        // Each name is tested as soon as it is read; nothing is read after the first empty one.
        Events expected = {"busy cursor", "go disabled"};
        for (const Field field : {Field::Input, Field::Table, Field::Output}) {
            expected.push_back("read " + std::to_string(IdOf(field)));
            if (field == c.focused) {
                break;
            }
        }
        const std::string focus = "focus " + std::to_string(IdOf(c.focused));
        expected.insert(expected.end(),
                        {"message File name is empty", focus, "go enabled", "cursor restored"});
        EXPECT_EQ(dialog.events, expected);
        EXPECT_EQ(testing_support::ReadFileBytes(output), "untouched");
    }
}

struct BadFileCase {
    const char* name;
    std::string input, table, output;
    Field blamed;
};

TEST_F(RecodingPassTest, BadFileRowsLeaveTheOutputAlone) {
    const std::string missing = dir.path("missing.txt");
    const BadFileCase cases[] = {
        {"input missing", missing, table, output, Field::Input},
        {"input is a folder", dir.path(""), table, output, Field::Input},
        {"name of blanks only", "   ", table, output, Field::Input},
        {"table missing", input, missing, output, Field::Table},
        {"table empty", input, dir.write("empty.tab", ""), output, Field::Table},
        {"table of empty lines", input, dir.write("blank.tab", "\r\n\n\r\n"), output, Field::Table},
        {"table begins with Ctrl-Z", input,
         dir.write("z.tab",
                   "\x1a"
                   "a=b\r\n"),
         output, Field::Table},
    };
    for (const BadFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("output.txt", "untouched");
        const RecordingDialog dialog = Run(c.input, c.table, c.output);
        EXPECT_EQ(dialog.events, EventsWithMessage("Bad file"));
        ASSERT_EQ(dialog.messages.size(), 1u);
        EXPECT_EQ(dialog.messages[0].field, c.blamed);
        EXPECT_EQ(testing_support::ReadFileBytes(output), "untouched");
    }
}

TEST_F(RecodingPassTest, OutputThatCannotBeCreated) {
    const RecordingDialog dialog = Run(input, table, dir.path("no-such-folder/out.txt"));
    EXPECT_EQ(dialog.events, EventsWithMessage("Bad file"));
    EXPECT_EQ(dialog.messages.at(0).field, Field::Output);
}

TEST_F(RecodingPassTest, InputNamedAsOutputIsRefusedAndUnharmed) {
    const std::string before = testing_support::ReadFileBytes(input);
    const RecordingDialog dialog = Run(input, table, input);
    EXPECT_EQ(dialog.events, EventsWithMessage("Bad file"));
    EXPECT_EQ(dialog.messages.at(0).code, testing_support::SharingViolationCode());
    EXPECT_EQ(testing_support::ReadFileBytes(input), before);
}

TEST_F(RecodingPassTest, TableNamedAsOutputIsReadFirstThenReplaced) {
    const RecordingDialog dialog = Run(input, table, table);
    EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
    EXPECT_EQ(testing_support::ReadFileBytes(table), "12 =-c!\r\n12c\r\nl12st line\r\n");
}

TEST_F(RecodingPassTest, GoodPassAfterEveryKindOfFailedOne) {
    const std::string missing = dir.path("missing.txt");
    for (const auto& names : {std::vector<std::string>{"", table, output},
                              std::vector<std::string>{missing, table, output},
                              std::vector<std::string>{input, missing, output},
                              std::vector<std::string>{input, table, input}}) {
        Run(names[0], names[1], names[2]);
        const RecordingDialog dialog = Run(input, table, output);
        EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
        EXPECT_EQ(testing_support::ReadFileBytes(output), "12 =-c!\r\n12c\r\nl12st line\r\n");
    }
}

TEST_F(RecodingPassTest, EditedTableTakesEffectAtTheNextPass) {
    Run(input, table, output);
    dir.write("win2trans.tab", "l=L\n");
    Run(input, table, output);
    EXPECT_EQ(testing_support::ReadFileBytes(output), "a b=c!\r\nabc\r\nLast Line\r\n");
}

TEST_F(RecodingPassTest, TableOfBlankKeysCopiesEverything) {
    Run(input, dir.write("blanks.tab", " =x\r\n\t=y\r\n"), output);
    EXPECT_EQ(testing_support::ReadFileBytes(output), "a b=c!\r\nabc\r\nlast line\r\n");
}

TEST_F(RecodingPassTest, SameOutputWhateverTheBlockSize) {
    std::mt19937 random(26);
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text.push_back("ab=c \r\n\x1a\xe0\0"[random() % 10]);
    }
    // A Ctrl-Z where a line begins would end the input; keep them all inside lines.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1a' && (i == 0 || text[i - 1] == '\n')) {
            text[i] = 'y';
        }
    }
    const std::string in = dir.write("random.txt", text);
    std::string reference;
    for (const std::size_t blockSize : {128u, 1u, 3u, 4096u, 65536u}) {
        PassFiles sized(blockSize);
        RecordingDialog dialog(in, table, output);
        RecodingPass(dialog, sized);
        EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
        const std::string bytes = testing_support::ReadFileBytes(output);
        if (reference.empty()) {
            reference = bytes;
        }
        EXPECT_EQ(bytes, reference) << "block size " << blockSize;
    }
    EXPECT_GT(reference.size(), 15000u);
}

#ifndef _WIN32
// A full disk must not leave a cut output that looks finished.
TEST_F(RecodingPassTest, WriteFailureIsReported) {
    const RecordingDialog dialog = Run(input, table, "/dev/full");
    EXPECT_EQ(dialog.events, EventsWithMessage("Bad file"));
    EXPECT_EQ(dialog.messages.at(0).field, Field::Output);
}

TEST_F(RecodingPassTest, CharacterDeviceOutputIsWritten) {
    const RecordingDialog dialog = Run(input, table, "/dev/null");
    EXPECT_EQ(dialog.events, kEventsOfAGoodPass);
}
#endif

}  // namespace
