// The About box, opened by the window that owns it.
#pragma once

#include <windows.h>

namespace about {

// Opens the About box over `owner` and returns when it has closed, unless `openBox` holds a box
// already. While the box is open its handle is in `openBox`, and null again once it has gone.
void ShowAboutBox(HWND owner, HWND& openBox);

}  // namespace about
