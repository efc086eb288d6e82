// The shell's process-wide state. It lives as long as the process; nothing of it is saved
// between runs.
#pragma once

#include <windows.h>

#include <cstddef>

namespace shell {

inline constexpr std::size_t kPathBufferSize = 262;

// The main dialog: set first thing when it initialises and never changed.
extern HWND MainDialogHandle;
// The open About box, null while none is open.
extern HWND AboutDialogHandle;
// The program's own full path after start-up, the last dropped item's name after a drop. The
// file dialogs start in the folder of the item it names.
extern char PathBuffer[kPathBufferSize];
// The frames' window procedure from before FrameWindowProc took their messages.
extern WNDPROC SavedFrameProc;

}  // namespace shell
