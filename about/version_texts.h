// The About box's text lines, taken from the string table of the program's version resource.
#pragma once

#include <windows.h>

namespace about {

// Puts the program's company, product name, description, "Version: " and file version,
// copyright, comments and web host into the box's controls 103 to 109. A string the resource
// lacks leaves its control as it was; a file without version resource leaves them all.
void FillVersionTexts(HWND box);

// The same, with the version resource of the named file rather than the program's own.
void FillVersionTextsFrom(HWND box, const char* fileName);

}  // namespace about
