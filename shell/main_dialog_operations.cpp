#include "shell/main_dialog_operations.h"

#include "res/resource.h"
#include "shell/shell_state.h"

namespace shell {
namespace {

static_assert(static_cast<int>(recode::Field::Input) == IDC_INPUT_FIELD &&
              static_cast<int>(recode::Field::Table) == IDC_TABLE_FIELD &&
              static_cast<int>(recode::Field::Output) == IDC_OUTPUT_FIELD);

HWND FieldWindow(recode::Field field) {
    return GetDlgItem(MainDialogHandle, static_cast<int>(field));
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
    const std::string text(message.text);
    MessageBoxA(MainDialogHandle, text.c_str(), nullptr, MB_ICONHAND | MB_OK);
}

}  // namespace shell
