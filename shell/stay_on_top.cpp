#include "shell/stay_on_top.h"

#include "res/resource.h"

namespace shell {

void ApplyStayOnTop(HWND dialog) {
    // The box has toggled itself before the command arrives; its third state counts as clear.
    const bool ticked =
        SendDlgItemMessageA(dialog, IDC_STAY_ON_TOP, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetWindowPos(dialog, ticked ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace shell
