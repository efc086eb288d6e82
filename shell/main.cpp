// lettermill.exe: the main dialog, run modally; the process lives exactly as long as it does.
// No command line, environment or settings are read.
#include <windows.h>

#include "platform/out_of_memory.h"
#include "res/resource.h"
#include "shell/main_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::EndProcessOnOutOfMemory();
    const HINSTANCE module = GetModuleHandleA(nullptr);
    // Before the first window, so that the common controls the manifest names are in place.
    LoadLibraryA("comctl32.dll");
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_MAIN), nullptr, shell::MainDialog, 0);
    // Exit code 0 whatever the dialog returned, also when it could not be made at all.
    ExitProcess(0);
}
