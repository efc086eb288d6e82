// The About box's set-up, when its dialog initialises.
#pragma once

#include <windows.h>

namespace about {

// Makes the box's brush, pictures, fonts and elliptic outline, fills its texts from the version
// resource, places the pictures and the title shadow, records the box in AboutHandleSlot and
// plays the asterisk sound. The switchable picture starts with the logo.
void InitAboutBox(HWND box);

}  // namespace about
