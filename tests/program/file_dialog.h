// The system's Open and Save As dialogs, seen and driven from outside like a user does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace shell_testing {

struct FileDialogFilters {
    std::vector<std::string> descriptions;
    int selected;  // index from 0
};

FileDialogFilters FiltersOf(HWND fileDialog);

// Types `name` as the file name and presses the dialog's OK button; the click is posted, since
// the dialog may answer with a message box of its own.
void ConfirmFileName(HWND fileDialog, const std::string& name);
void CancelFileDialog(HWND fileDialog);

}  // namespace shell_testing
