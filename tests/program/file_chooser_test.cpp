// The browse buttons of lettermill.exe under Wine: the system's Open and Save As dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/file_dialog.h"
#include "program/program_test.h"
#include "res/resource.h"

namespace {

using shell_testing::CancelFileDialog;
using shell_testing::ConfirmFileName;
using shell_testing::FiltersOf;
using shell_testing::ProgramTest;
using shell_testing::WaitUntil;

const std::vector<std::string> kFilterDescriptions = {"Text files(*.txt;*.lst;*.prn)",
                                                      "Table files(*.tab)", "All files(*.*)"};

struct BrowseButton {
    int button;
    int field;
    const char* dialogTitle;
    int selectedFilter;
};

const BrowseButton kButtons[] = {
    {IDC_INPUT_BROWSE, IDC_INPUT_FIELD, "Open", 0},
    {IDC_TABLE_BROWSE, IDC_TABLE_FIELD, "Open", 1},
    {IDC_OUTPUT_BROWSE, IDC_OUTPUT_FIELD, "Save As", 0},
};

class FileChooserTest : public ProgramTest {
  protected:
    HWND openFileDialog(const BrowseButton& browse) {
        program.click(browse.button);
        const HWND fileDialog = program.waitForDialogOwnedBy(program.dialog(), browse.dialogTitle);
        EXPECT_NE(fileDialog, nullptr) << "no " << browse.dialogTitle << " dialog";
        return fileDialog;
    }

    // The chooser has returned once the main dialog answers again and the file dialog is gone.
    void waitForChooserEnd(HWND fileDialog) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); }));
        shell_testing::TextOf(program.dialog());
    }
};

TEST_F(FileChooserTest, EachBrowseButtonOpensItsDialogWithItsFilter) {
    for (const BrowseButton& browse : kButtons) {
        SCOPED_TRACE(browse.button);
        const HWND fileDialog = openFileDialog(browse);
        ASSERT_NE(fileDialog, nullptr);
        const shell_testing::FileDialogFilters filters = FiltersOf(fileDialog);
        EXPECT_EQ(filters.descriptions, kFilterDescriptions);
        EXPECT_EQ(filters.selected, browse.selectedFilter);
        CancelFileDialog(fileDialog);
        waitForChooserEnd(fileDialog);
    }
}

TEST_F(FileChooserTest, AConfirmedChoicePutsItsFullPathIntoTheField) {
    dir.write("chosen.txt", "");
    dir.write("chosen.tab", "");
    const char* const chosen[] = {"chosen.txt", "chosen.tab", "new output.txt"};
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const BrowseButton& browse = kButtons[i];
        SCOPED_TRACE(browse.button);
        // A path in the field takes precedence over the program's folder.
        program.setText(browse.field, dir.path("input.txt"));
        const HWND fileDialog = openFileDialog(browse);
        ASSERT_NE(fileDialog, nullptr);
        ConfirmFileName(fileDialog, chosen[i]);
        waitForChooserEnd(fileDialog);
        EXPECT_EQ(program.text(browse.field), dir.path(chosen[i]));
    }
}

TEST_F(FileChooserTest, ABareNameStartsTheDialogInTheProgramsFolder) {
    const HWND fileDialog = openFileDialog(kButtons[0]);
    ASSERT_NE(fileDialog, nullptr);
    ConfirmFileName(fileDialog, "lettermill.exe");
    waitForChooserEnd(fileDialog);
    char programPath[MAX_PATH] = {};
    GetFullPathNameA(LETTERMILL_PROGRAM_PATH, MAX_PATH, programPath, nullptr);
    EXPECT_EQ(program.text(IDC_INPUT_FIELD), programPath);
}

TEST_F(FileChooserTest, CancelLeavesTheFieldAsItWas) {
    std::string odd = "  odd; name, (with) blanks & signs #1 ";
    while (odd.size() < 300) {
        odd += odd;
    }
    odd.resize(300);
    for (const BrowseButton& browse : kButtons) {
        SCOPED_TRACE(browse.button);
        program.setText(browse.field, odd);
        const HWND fileDialog = openFileDialog(browse);
        ASSERT_NE(fileDialog, nullptr);
        CancelFileDialog(fileDialog);
        waitForChooserEnd(fileDialog);
        EXPECT_EQ(program.text(browse.field), odd);
    }
}

TEST_F(FileChooserTest, SaveAsAsksBeforeReplacingAFile) {
    dir.write("existing.txt", "kept until confirmed");
    program.setText(IDC_OUTPUT_FIELD, dir.path("output.txt"));
    const HWND fileDialog = openFileDialog(kButtons[2]);
    ASSERT_NE(fileDialog, nullptr);
    ConfirmFileName(fileDialog, "existing.txt");
    const shell_testing::SeenMessageBox question = program.waitForMessageBox(fileDialog);
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    shell_testing::PressButton(question.window, IDYES);
    waitForChooserEnd(fileDialog);
    EXPECT_EQ(program.text(IDC_OUTPUT_FIELD), dir.path("existing.txt"));
    // Choosing is not writing.
    EXPECT_EQ(dir.read("existing.txt"), "kept until confirmed");
}

TEST_F(FileChooserTest, OpenTakesOnlyAnExistingFile) {
    program.setText(IDC_TABLE_FIELD, dir.path("win2trans.tab"));
    const HWND fileDialog = openFileDialog(kButtons[1]);
    ASSERT_NE(fileDialog, nullptr);
    ConfirmFileName(fileDialog, "missing.tab");
    const shell_testing::SeenMessageBox refusal = program.waitForMessageBox(fileDialog);
    ASSERT_NE(refusal.window, nullptr);
    shell_testing::PressButton(refusal.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal.window); }));
    EXPECT_TRUE(IsWindowVisible(fileDialog));
    CancelFileDialog(fileDialog);
    waitForChooserEnd(fileDialog);
    EXPECT_EQ(program.text(IDC_TABLE_FIELD), dir.path("win2trans.tab"));
}

}  // namespace
