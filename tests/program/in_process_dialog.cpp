#include "program/in_process_dialog.h"

#include "res/resource.h"
#include "shell/main_dialog.h"

namespace shell_testing {

InProcessDialogTest::InProcessDialogTest() {
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                shell::MainDialog, 0);
    EXPECT_NE(dialog, nullptr);
}

InProcessDialogTest::~InProcessDialogTest() {
    DestroyWindow(dialog);
}

std::string InProcessDialogTest::text(int id) const {
    std::string text(GetWindowTextLengthA(item(id)) + 1, '\0');
    text.resize(GetWindowTextA(item(id), text.data(), static_cast<int>(text.size())));
    return text;
}

}  // namespace shell_testing
