// The shell's process-wide state. It lives as long as the process; nothing of it is saved
// between runs.
#pragma once

#include <windows.h>

#include <cstddef>

namespace shell {

// MAX_PATH: the longest name, terminator included, that the file dialogs and drops hand over.
inline constexpr std::size_t kPathCapacity = 260;
// PathBuffer and the file chooser's name buffer hold two characters more.
inline constexpr std::size_t kPathBufferSize = kPathCapacity + 2;

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
