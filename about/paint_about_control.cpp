#include "about/paint_about_control.h"

#include <commctrl.h>

#include "about/about_state.h"
#include "about/gradient.h"
#include "res/about_resource.h"

namespace about {
namespace {

constexpr int kPhotoImage = 0;
constexpr int kLogoImage = 1;
constexpr int kIconImage = 2;

// One line of pen per row, also row `height`, which lies just below the client area.
void DrawGradient(HDC dc, HWND control) {
    RECT client;
    GetClientRect(control, &client);
    const int height = client.bottom;
    if (height <= 0) {
        return;
    }
    for (int row = 0; row <= height; ++row) {
        const RowColour colour = GradientRowColour(row, height);
        const UniquePen pen(CreatePen(PS_SOLID, 1, RGB(colour.red, colour.green, colour.blue)));
        const Selection selected(dc, pen.get());
        MoveToEx(dc, 0, row, nullptr);
        LineTo(dc, client.right, row);
    }
}

COLORREF TextColour(int id) {
    switch (id) {
        case IDC_ABOUT_WEB:
        case IDC_ABOUT_MAIL:
        case IDC_ABOUT_SHADOW:
            return RGB(0, 0, 128);
        case IDC_ABOUT_TITLE:
            return IsLowColour(AboutColourDepth) ? RGB(255, 0, 255) : RGB(255, 102, 0);
        default:
            return RGB(0, 0, 0);
    }
}

void DrawImage(HDC dc, int image) {
    ImageList_Draw(AboutImageList.get(), image, dc, 0, 0, ILD_TRANSPARENT);
}

}  // namespace

HBRUSH PaintAboutControl(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == IDC_ABOUT_BACKGROUND && !IsLowColour(AboutColourDepth)) {
        DrawGradient(dc, control);
    } else if (id == IDC_ABOUT_OK) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, TextColour(id));
        if (id == IDC_ABOUT_PICTURE) {
            DrawImage(dc, AboutPhotoShown ? kPhotoImage : kLogoImage);
        } else if (id == IDC_ABOUT_ICON) {
            DrawImage(dc, kIconImage);
        }
    }
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

}  // namespace about
