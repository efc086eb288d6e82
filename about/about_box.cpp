#include "about/about_box.h"

#include <windows.h>

#include "about/about_dialog.h"
#include "about/about_state.h"
#include "res/about_resource.h"
#include "res/resource.h"
#include "shell/shell_state.h"

namespace about {

void ShowAboutBox() {
    if (shell::AboutDialogHandle != nullptr) {
        return;
    }
    AboutHandleSlot = &shell::AboutDialogHandle;
    const auto module =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(shell::MainDialogHandle, GWLP_HINSTANCE));
    // A shared icon of the module's resources: nothing to release.
    AboutIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_LETTERMILL));
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), shell::MainDialogHandle, AboutDialog, 0);
}

}  // namespace about
