// The About box: an elliptic window without caption or frame over a colour gradient, with the
// version texts, the program icon, a logo that a double-click turns into a photo and back, and
// two link labels. "OK", Enter and Escape close it.
#pragma once

#include <windows.h>

namespace about {

// The dialog procedure of the About box's template. Before the box is made, AboutHandleSlot and
// AboutIcon must be set.
INT_PTR CALLBACK AboutDialog(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace about
