// The recoding pass's dialog operations on the real main dialog; its message boxes are seen
// from outside, in main_dialog_test.cpp.
#include "shell/main_dialog_operations.h"

#include <string>

#include "program/in_process_dialog.h"
#include "res/resource.h"
#include "shell/shell_state.h"

namespace {

using recode::Field;

class MainDialogOperationsTest : public shell_testing::InProcessDialogTest {
  protected:
    shell::MainDialogOperations operations;
};

TEST_F(MainDialogOperationsTest, ReadsEachFieldWholeHoweverLong) {
    std::string name = "\xE9t\xE9 \xFF;";
    while (name.size() < 1000) {
        name += name;
    }
    for (const auto& [field, id] :
         {std::pair{Field::Input, IDC_INPUT_FIELD}, std::pair{Field::Table, IDC_TABLE_FIELD},
          std::pair{Field::Output, IDC_OUTPUT_FIELD}}) {
        const std::string text = name.substr(0, 300 + id);
        SetWindowTextA(item(id), text.c_str());
        EXPECT_EQ(operations.readField(field), text);
    }
    SetWindowTextA(item(IDC_TABLE_FIELD), "");
    EXPECT_EQ(operations.readField(Field::Table), "");
}

TEST_F(MainDialogOperationsTest, FocusesTheField) {
    for (const auto& [field, id] :
         {std::pair{Field::Table, IDC_TABLE_FIELD}, std::pair{Field::Output, IDC_OUTPUT_FIELD},
          std::pair{Field::Input, IDC_INPUT_FIELD}}) {
        operations.focusField(field);
        EXPECT_EQ(GetFocus(), item(id));
    }
}

TEST_F(MainDialogOperationsTest, DisablesAndEnablesGo) {
    operations.enableGoButton(false);
    EXPECT_FALSE(IsWindowEnabled(item(IDC_GO)));
    operations.enableGoButton(true);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_GO)));
}

TEST_F(MainDialogOperationsTest, ShowsTheBusyCursorAndPutsTheFormerOneBack) {
    const HCURSOR former = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(former);
    operations.showBusyCursor();
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    operations.restoreCursor();
    EXPECT_EQ(GetCursor(), former);
}

TEST_F(MainDialogOperationsTest, StartUpStoresTheProgramsFullPath) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_STREQ(shell::PathBuffer, path);
    EXPECT_EQ(shell::MainDialogHandle, dialog);
    EXPECT_EQ(shell::AboutDialogHandle, nullptr);
    // The program's icon as the large one only.
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
}

}  // namespace
