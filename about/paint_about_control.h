// How the About box's static controls look: painted when they ask for their colours.
#pragma once

#include <windows.h>

namespace about {

// Paints what `control` shows beyond its text into its device context and sets its text colour
// and transparent background: the gradient behind everything, the icon, the logo or photo, the
// orange title, the navy shadow and links. Returns the brush the control erases with: none.
HBRUSH PaintAboutControl(HDC dc, HWND control);

}  // namespace about
