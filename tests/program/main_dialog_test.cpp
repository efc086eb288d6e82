// lettermill.exe under Wine, driven from outside through its main dialog.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "program/program_test.h"
#include "res/resource.h"

namespace {

using shell_testing::ProgramTest;
using shell_testing::RunningProgram;
using shell_testing::SeenMessageBox;
using shell_testing::WaitUntil;

struct TemplateControl {
    int id;
    const char* className;
    const char* text;
    LONG style;
};

// In template order, which is the order of the windows too.
const std::vector<TemplateControl> kControls = {
    {IDC_INPUT_FRAME, "Button", " Input ", 0x50020007},
    {IDC_INPUT_FIELD, "Edit", "input.txt", 0x50810080},
    {IDC_INPUT_BROWSE, "Button", "-->", 0x50010300},
    {IDC_OUTPUT_FRAME, "Button", " Output ", 0x50020007},
    {IDC_OUTPUT_FIELD, "Edit", "output.txt", 0x50810080},
    {IDC_OUTPUT_BROWSE, "Button", "<--", 0x50010300},
    {IDC_TABLE_FRAME, "Button", " Table ", 0x50020007},
    {IDC_TABLE_FIELD, "Edit", "win2trans.tab", 0x50810080},
    {IDC_TABLE_BROWSE, "Button", "-->", 0x50010300},
    {IDC_STAY_ON_TOP, "Button", "Stay On Top", 0x50010003},
    {IDC_GO, "Button", "Go!", 0x50010301},
    {IDC_EXIT, "Button", "Exit", 0x50010300},
};

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool IsTopmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class MainDialogTest : public ProgramTest {
  protected:
    void setNames(const std::string& input, const std::string& table, const std::string& output) {
        program.setText(IDC_INPUT_FIELD, input);
        program.setText(IDC_TABLE_FIELD, table);
        program.setText(IDC_OUTPUT_FIELD, output);
    }

    // Presses "Go!", expects the pass's message box with `text`, closes it and waits for the
    // pass's end.
    void goExpectingMessage(const std::string& text) {
        program.click(IDC_GO);
        const SeenMessageBox box = program.waitForMessageBox(program.dialog());
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.title, "Error");  // the system's title for a box without one
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        // The button stays disabled while the message shows, so the pass cannot start again.
        EXPECT_FALSE(IsWindowEnabled(program.item(IDC_GO)));
        shell_testing::PressButton(box.window, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(program.item(IDC_GO)) != 0; }));
    }

    void expectGoodPass() {
        ASSERT_TRUE(program.clickAndWait(IDC_GO)) << "the pass did not end";
        EXPECT_EQ(contentOf("output.txt"), expectedOutput);
        EXPECT_TRUE(IsWindowEnabled(program.item(IDC_GO)));
    }
};

TEST_F(MainDialogTest, ShowsTheTemplatesControlsInOrder) {
    const HWND dialog = program.dialog();
    EXPECT_EQ(shell_testing::TextOf(dialog), "Lettermill");
    const LONG dialogStyle = GetWindowLongA(dialog, GWL_STYLE);
    const LONG frameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    EXPECT_EQ(dialogStyle & (frameStyle | WS_MAXIMIZEBOX | WS_CHILD), frameStyle);
    EXPECT_FALSE(IsTopmost(dialog));

    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), kControls.size());
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const TemplateControl& expected = kControls[i];
        SCOPED_TRACE(expected.text);
        EXPECT_EQ(GetDlgCtrlID(children[i]), expected.id);
        EXPECT_EQ(shell_testing::ClassOf(children[i]), expected.className);
        EXPECT_EQ(shell_testing::TextOf(children[i]), expected.text);
        LONG style = GetWindowLongA(children[i], GWL_STYLE);
        // An edit control trades its border for the sunken edge.
        if (GetWindowLongA(children[i], GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
            style |= WS_BORDER;
        }
        EXPECT_EQ(style, expected.style);
    }
    EXPECT_EQ(SendMessageA(program.item(IDC_STAY_ON_TOP), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // On screen the groups stand Input, Output, Table from top to bottom.
    const LONG inputTop = WindowRect(program.item(IDC_INPUT_FRAME)).top;
    const LONG outputTop = WindowRect(program.item(IDC_OUTPUT_FRAME)).top;
    const LONG tableTop = WindowRect(program.item(IDC_TABLE_FRAME)).top;
    EXPECT_LT(inputTop, outputTop);
    EXPECT_LT(outputTop, tableTop);
}

TEST_F(MainDialogTest, StartsWithTheInputFrameFocusedAndTabLeadsIntoTheInputField) {
    const HWND frame = program.item(IDC_INPUT_FRAME);
    ASSERT_EQ(program.focus(), frame);
    program.pressKey(frame, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return program.focus() != frame; }));
    EXPECT_EQ(program.focus(), program.item(IDC_INPUT_FIELD));
}

TEST_F(MainDialogTest, GoRecodesTheInputAndAgainReplacesTheOutput) {
    expectGoodPass();
    dir.write("output.txt", "an older, longer output that the next pass must replace\r\n");
    expectGoodPass();
    EXPECT_TRUE(program.isRunning());
}

TEST_F(MainDialogTest, EnterInAnyFieldRunsThePass) {
    for (const int field : {IDC_INPUT_FIELD, IDC_OUTPUT_FIELD, IDC_TABLE_FIELD}) {
        SCOPED_TRACE(field);
        std::filesystem::remove(dir.path("output.txt"));
        program.pressKey(program.item(field), VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return contentOf("output.txt") == expectedOutput; }));
    }
}

TEST_F(MainDialogTest, EscapeLeavesTheDialogOpen) {
    program.pressKey(program.item(IDC_INPUT_FIELD), VK_ESCAPE);
    // Posted after the key, so handled after it.
    program.click(IDC_GO);
    ASSERT_TRUE(WaitUntil([&] { return contentOf("output.txt") == expectedOutput; }));
    EXPECT_TRUE(program.isRunning());
    EXPECT_TRUE(IsWindowVisible(program.dialog()));
}

TEST_F(MainDialogTest, AnEmptyNameIsReportedAndGetsTheFocus) {
    struct Case {
        const char* input;
        const char* table;
        const char* output;
        int focusedField;
    };
    // Only the first empty field counts; blanks are not empty.
    const Case cases[] = {
        {"", "", "", IDC_INPUT_FIELD},
        {"", "win2trans.tab", "output.txt", IDC_INPUT_FIELD},
        {"input.txt", "", "", IDC_TABLE_FIELD},
        {"input.txt", "win2trans.tab", "", IDC_OUTPUT_FIELD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focusedField);
        setNames(c.input, c.table, c.output);
        goExpectingMessage("File name is empty");
        EXPECT_EQ(program.focus(), program.item(c.focusedField));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("output.txt")));
}

TEST_F(MainDialogTest, BadFilesAreReportedAndAGoodPassFollows) {
    // A name longer than the path limit whose cut form names an existing file: the pass must
    // refuse it rather than replace that file.
    const std::string victim = dir.path("") + std::string(259 - dir.path("").size(), 'v');
    testing_support::WriteFileBytes(victim, "not to be replaced");
    const std::string tooLong = victim + std::string(41, 'x');
    ASSERT_EQ(tooLong.size(), 300u);

    dir.write("empty.tab", "");
    dir.write("blank lines.tab", "\r\n\n\r\n");
    struct Case {
        const char* what;
        std::string input;
        std::string table;
        std::string output;
    };
    const Case cases[] = {
        {"missing input", "missing.txt", "win2trans.tab", "output.txt"},
        {"missing table", "input.txt", "missing.tab", "output.txt"},
        {"empty table", "input.txt", "empty.tab", "output.txt"},
        {"table of empty lines", "input.txt", "blank lines.tab", "output.txt"},
        {"output in a missing folder", "input.txt", "win2trans.tab", "missing\\output.txt"},
        {"output named as the input", "input.txt", "win2trans.tab", "input.txt"},
        {"output name too long", "input.txt", "win2trans.tab", tooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setNames(c.input, c.table, c.output);
        goExpectingMessage("Bad file");
        EXPECT_FALSE(std::filesystem::exists(dir.path("output.txt")));

        setNames("input.txt", "win2trans.tab", "output.txt");
        expectGoodPass();
        std::filesystem::remove(dir.path("output.txt"));
    }
    EXPECT_EQ(dir.read("input.txt"), shell_testing::SampleFile("input.txt"));
    EXPECT_EQ(testing_support::ReadFileBytes(victim), "not to be replaced");
}

TEST_F(MainDialogTest, StayOnTopTogglesTopmostWithoutMovingTheWindow) {
    const RECT before = WindowRect(program.dialog());
    for (int click = 1; click <= 3; ++click) {
        SCOPED_TRACE(click);
        ASSERT_TRUE(program.clickAndWait(IDC_STAY_ON_TOP));
        const bool ticked = click % 2 == 1;
        EXPECT_EQ(SendMessageA(program.item(IDC_STAY_ON_TOP), BM_GETCHECK, 0, 0),
                  ticked ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(IsTopmost(program.dialog()), ticked);
        EXPECT_TRUE(SameRect(WindowRect(program.dialog()), before));
    }
}

TEST_F(MainDialogTest, ResizingMovesNoControl) {
    const HWND dialog = program.dialog();
    const auto clientRects = [&] {
        std::vector<RECT> rects;
        for (const auto& control : kControls) {
            RECT rect = WindowRect(program.item(control.id));
            MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
            rects.push_back(rect);
        }
        return rects;
    };
    const std::vector<RECT> before = clientRects();
    const RECT frame = WindowRect(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 150,
                 frame.bottom - frame.top + 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(WindowRect(dialog).right - WindowRect(dialog).left, frame.right - frame.left + 150);
    const std::vector<RECT> after = clientRects();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_TRUE(SameRect(before[i], after[i])) << kControls[i].text;
    }
}

struct Ending {
    const char* how;
    std::function<void(const RunningProgram&)> act;
};

class ProgramEndTest : public ProgramTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(ProgramEndTest, EndsTheProcessWithExitCodeZero) {
    GetParam().act(program);
    EXPECT_EQ(program.waitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ExitAndCloseBox, ProgramEndTest,
    ::testing::Values(Ending{"Exit", [](const RunningProgram& p) { p.click(IDC_EXIT); }},
                      Ending{"close box",
                             [](const RunningProgram& p) {
                                 PostMessageA(p.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
                             }}),
    [](const auto& info) { return info.index == 0 ? "ExitButton" : "CloseBox"; });

}  // namespace
