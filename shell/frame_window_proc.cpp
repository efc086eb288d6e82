#include "shell/frame_window_proc.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "shell/field_groups.h"
#include "shell/shell_state.h"

namespace shell {
namespace {

LRESULT OnDropFiles(HWND frame, HDROP drop) {
    // Only the first item counts, a folder as well as a file.
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    std::string name(length, '\0');
    DragQueryFileA(drop, 0, name.data(), length + 1);
    // A name too long for PathBuffer goes whole into the field, where the pass refuses it as a
    // bad file; cut, it could name another file, which "Go!" would then overwrite.
    if (length < kPathCapacity) {
        std::memcpy(PathBuffer, name.c_str(), length + 1);
    }
    if (const FieldGroup* group = FindFieldGroup(GetDlgCtrlID(frame))) {
        SetWindowTextA(GetDlgItem(MainDialogHandle, group->edit), name.c_str());
    }
    DragFinish(drop);
    return 0;
}

}  // namespace

LRESULT CALLBACK FrameWindowProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        return OnDropFiles(frame, reinterpret_cast<HDROP>(wParam));
    }
    return CallWindowProcA(SavedFrameProc, frame, message, wParam, lParam);
}

WNDPROC AcceptDroppedFiles(HWND frame) {
    DragAcceptFiles(frame, TRUE);
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameWindowProc)));
}

}  // namespace shell
