// The main dialog: the three file names with their browse buttons, "Stay On Top", "Go!" and
// "Exit". The process lives as long as it does.
#pragma once

#include <windows.h>

namespace shell {

// The dialog procedure of the main dialog's template. It returns FALSE for every message, so the
// dialog manager's own handling always follows.
INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shell
