#include "about/about_dialog.h"

#include <commctrl.h>

#include "about/about_state.h"
#include "about/init_about_box.h"
#include "about/link_labels.h"
#include "about/paint_about_control.h"
#include "res/about_resource.h"

namespace about {
namespace {

INT_PTR AsResult(HBRUSH brush) {
    return reinterpret_cast<INT_PTR>(brush);
}

void TogglePicture(HWND box) {
    AboutPhotoShown = !AboutPhotoShown;
    RedrawWindow(box, &AboutPictureRect, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

// TRUE for the commands that close the box.
INT_PTR OnCommand(HWND box, int command, int notification) {
    switch (command) {
        case IDOK:
            EndDialog(box, IDOK);
            return TRUE;
        case IDCANCEL:
        case IDC_ABOUT_OK:
            EndDialog(box, IDCANCEL);
            return TRUE;
        case IDC_ABOUT_PICTURE:
            // A single click changes nothing.
            if (notification == STN_DBLCLK) {
                TogglePicture(box);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// Releases what the set-up made, except the outline, which goes with the window.
void OnDestroy() {
    AboutImageList.reset();
    AboutBackgroundBrush.reset();
    AboutTitleFont.reset();
    AboutLinkFont.reset();
    *AboutHandleSlot = nullptr;
    AboutMailAddress.clear();
    AboutMailSubject.clear();
}

}  // namespace

INT_PTR CALLBACK AboutDialog(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitAboutBox(box);
            return FALSE;
        case WM_CTLCOLORDLG:
            return AsResult(AboutBackgroundBrush.get());
        case WM_CTLCOLORSTATIC:
            return AsResult(
                PaintAboutControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_COMMAND:
            return OnCommand(box, LOWORD(wParam), HIWORD(wParam));
        case WM_LBUTTONDOWN:
            OnLinkPress(box, lParam);
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace about
