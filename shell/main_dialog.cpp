#include "shell/main_dialog.h"

#include <span>

#include "about/about_box.h"
#include "res/resource.h"
#include "shell/choose_file.h"
#include "shell/field_groups.h"
#include "shell/frame_window_proc.h"
#include "shell/main_dialog_operations.h"
#include "shell/recoding_pass.h"
#include "shell/shell_state.h"
#include "shell/stay_on_top.h"

namespace shell {
namespace {

// The pass's readers and writer, made once and reused by every pass.
recode::PassFiles RecodingFiles;

// A path that does not fit leaves PathBuffer empty rather than cut: the file dialogs start in
// the folder it names, and a cut path names another one.
void StoreProgramPath() {
    PathBuffer[0] = '\0';
    char modulePath[kPathBufferSize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, modulePath, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize) {
        return;
    }
    const DWORD fullLength = GetFullPathNameA(modulePath, kPathBufferSize, PathBuffer, nullptr);
    if (fullLength == 0 || fullLength >= kPathBufferSize) {
        PathBuffer[0] = '\0';
    }
}

void OnInitDialog(HWND dialog) {
    MainDialogHandle = dialog;
    AboutDialogHandle = nullptr;

    const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    const HICON icon = LoadIconA(module, MAKEINTRESOURCEA(IDI_LETTERMILL));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    // The arrows show in the system font, everything else in the template's.
    const auto systemFont = reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT));
    for (const FieldGroup& group : FieldGroups) {
        SendDlgItemMessageA(dialog, group.browseButton, WM_SETFONT, systemFont, FALSE);
    }

    // No field has the focus at first; the first Tab leads into the Input field.
    SetFocus(GetDlgItem(dialog, IDC_INPUT_FRAME));
    StoreProgramPath();

    // The three frames are buttons alike, so the first one's procedure serves all three.
    SavedFrameProc = AcceptDroppedFiles(GetDlgItem(dialog, FieldGroups[0].frame));
    for (const FieldGroup& group : std::span(FieldGroups).subspan(1)) {
        AcceptDroppedFiles(GetDlgItem(dialog, group.frame));
    }
}

void OnGo() {
    MainDialogOperations operations;
    RecodingPass(operations, RecodingFiles);
}

void OnCommand(HWND dialog, int command) {
    if (const FieldGroup* group = FindFieldGroup(command);
        group != nullptr && command == group->browseButton) {
        ChooseFile(*group);
        return;
    }
    switch (command) {
        case IDC_GO:
            OnGo();
            break;
        case IDC_EXIT:
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            break;
        case IDC_STAY_ON_TOP:
            ApplyStayOnTop(dialog);
            break;
        default:
            // IDCANCEL among them, which Escape sends: Escape leaves the dialog open.
            break;
    }
}

}  // namespace

INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // FALSE also keeps the dialog manager from moving the focus to the first tab stop.
            OnInitDialog(dialog);
            break;
        case WM_CLOSE:
            EndDialog(dialog, 0);
            break;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam));
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
            about::ShowAboutBox(MainDialogHandle, AboutDialogHandle);
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace shell
