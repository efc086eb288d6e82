// The About box run modally inside the test program, from the program's own template and
// procedure, with the test looking on while it is open.
#pragma once

#include <windows.h>

#include <functional>

namespace about_testing {

// The variable the box writes its handle to, as the program's AboutDialogHandle.
extern HWND OpenBox;

// Runs the About box until it ends and returns its result. `whileOpen` is called once, inside
// the box's modal loop, when the box has shown and painted; it should close the box, which is
// otherwise closed as by Escape after it returns. A box that does not open is a test failure.
INT_PTR RunAboutBox(const std::function<void(HWND box)>& whileOpen);

}  // namespace about_testing
