// The "Stay On Top" switch.
#pragma once

#include <windows.h>

namespace shell {

// Keeps the dialog above all other windows while its "Stay On Top" box is ticked, and returns it
// to normal stacking otherwise; its place and size stay as they are.
void ApplyStayOnTop(HWND dialog);

}  // namespace shell
