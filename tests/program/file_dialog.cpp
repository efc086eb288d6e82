#include "program/file_dialog.h"

#include <dlgs.h>

#include "program/running_program.h"

namespace shell_testing {
namespace {

// Explorer-style dialogs have a combo box for the file name; older ones an edit.
HWND FileNameControl(HWND fileDialog) {
    const HWND combo = GetDlgItem(fileDialog, cmb13);
    return combo != nullptr ? combo : GetDlgItem(fileDialog, edt1);
}

}  // namespace

FileDialogFilters FiltersOf(HWND fileDialog) {
    // The list's texts are read as the dialog keeps them, in UTF-16: Wine carries the ANSI
    // request across processes without converting the answer.
    const HWND combo = GetDlgItem(fileDialog, cmb1);
    FileDialogFilters filters{{}, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0))};
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        const LRESULT length =
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length < 0 ? 0 : length);
        filters.descriptions.emplace_back(text.begin(), text.end());  // ASCII only
    }
    return filters;
}

void ConfirmFileName(HWND fileDialog, const std::string& name) {
    SendMessageA(FileNameControl(fileDialog), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(name.c_str()));
    PressButton(fileDialog, IDOK);
}

void CancelFileDialog(HWND fileDialog) {
    PressButton(fileDialog, IDCANCEL);
}

}  // namespace shell_testing
