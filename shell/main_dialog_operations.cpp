#include "shell/main_dialog_operations.h"
#include "shell/recoding_pass.h"

#include "res/resource.h"
#include "shell/field_groups.h"
#include "shell/shell_state.h"

namespace shell {
namespace {

HWND FieldWindow(recode::Field field) {
    return GetDlgItem(MainDialogHandle, FieldGroupOf(field).edit);
}

}  // namespace

void MainDialogOperations::showBusyCursor() {
    savedCursor_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void MainDialogOperations::restoreCursor() {
    SetCursor(savedCursor_);
}

void MainDialogOperations::enableGoButton(bool enabled) {
    EnableWindow(GetDlgItem(MainDialogHandle, IDC_GO), enabled);
}

std::string MainDialogOperations::readField(recode::Field field) {
    const HWND window = FieldWindow(field);
    // The length may be larger than the text, never smaller.
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void MainDialogOperations::focusField(recode::Field field) {
    SetFocus(FieldWindow(field));
}

void MainDialogOperations::showMessage(const recode::PassMessage& message) {
    const std::string text(recode::MessageText(message.kind));
    MessageBoxA(MainDialogHandle, text.c_str(), nullptr, MB_ICONHAND | MB_OK);
}

}  // namespace shell
