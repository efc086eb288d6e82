// The three frames of the main dialog take files dropped from the desktop shell.
#pragma once

#include <windows.h>

namespace shell {

// A dropped item's full name goes into the field of the frame it was dropped on, and into
// PathBuffer; every other message goes to SavedFrameProc unchanged.
LRESULT CALLBACK FrameWindowProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the frame take dropped files and gives its messages to FrameWindowProc. Returns the
// frame's previous window procedure.
WNDPROC AcceptDroppedFiles(HWND frame);

}  // namespace shell
