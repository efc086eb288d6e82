#include "shell/shell_state.h"

namespace shell {

HWND MainDialogHandle = nullptr;
HWND AboutDialogHandle = nullptr;
char PathBuffer[kPathBufferSize] = {};
WNDPROC SavedFrameProc = nullptr;

}  // namespace shell
