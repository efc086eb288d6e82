#include "about/init_about_box.h"

#include <commctrl.h>

#include "about/about_state.h"
#include "about/link_labels.h"
#include "about/version_texts.h"
#include "res/about_resource.h"

namespace about {
namespace {

constexpr int kPictureSize = 32;

void MeasureColourDepth(HWND box) {
    const WindowDc dc(box);
    AboutColourDepth =
        static_cast<unsigned>(GetDeviceCaps(dc.get(), BITSPIXEL) * GetDeviceCaps(dc.get(), PLANES));
}

void MakeBackgroundBrush() {
    // Set on every opening: the display may have changed its depth since the last one.
    AboutBackgroundColour = IsLowColour(AboutColourDepth) ? RGB(0, 255, 255) : RGB(64, 160, 255);
    AboutBackgroundBrush.reset(CreateSolidBrush(AboutBackgroundColour));
}

void AddMaskedBitmap(HINSTANCE module, const char* name, COLORREF mask) {
    const UniqueBitmap bitmap(LoadBitmapA(module, name));
    ImageList_AddMasked(AboutImageList.get(), bitmap.get(), mask);
}

void MakeImageList(HWND box) {
    const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(box, GWLP_HINSTANCE));
    AboutImageList.reset(
        ImageList_Create(kPictureSize, kPictureSize, ILC_COLORDDB | ILC_MASK, 3, 0));
    AddMaskedBitmap(module, IDB_ABOUT_PHOTO, RGB(0, 128, 128));
    AddMaskedBitmap(module, IDB_ABOUT_LOGO, RGB(192, 192, 192));
    ImageList_ReplaceIcon(AboutImageList.get(), -1, AboutIcon);
}

void FillClientArea(HWND box, int control) {
    RECT client;
    GetClientRect(box, &client);
    SetWindowPos(GetDlgItem(box, control), nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOZORDER | SWP_SHOWWINDOW);
}

LOGFONTA StockGuiFont() {
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

void SetFont(HWND box, int control, HFONT font) {
    SendDlgItemMessageA(box, control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void MakeFonts(HWND box) {
    LOGFONTA title = StockGuiFont();
    title.lfHeight = 24;
    title.lfWeight = 900;
    lstrcpynA(title.lfFaceName, "Times", LF_FACESIZE);
    AboutTitleFont.reset(CreateFontIndirectA(&title));
    SetFont(box, IDC_ABOUT_TITLE, AboutTitleFont.get());
    SetFont(box, IDC_ABOUT_SHADOW, AboutTitleFont.get());

    LOGFONTA link = StockGuiFont();
    link.lfUnderline = 1;
    AboutLinkFont.reset(CreateFontIndirectA(&link));
    SetFont(box, IDC_ABOUT_WEB, AboutLinkFont.get());
    SetFont(box, IDC_ABOUT_MAIL, AboutLinkFont.get());
}

void SetSize(HWND box, int control, int width, int height) {
    SetWindowPos(GetDlgItem(box, control), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void MakeElliptic(HWND box) {
    RECT window;
    GetWindowRect(box, &window);
    UniqueRegion region(
        CreateEllipticRgn(0, 0, window.right - window.left, window.bottom - window.top));
    // From here on the window owns the region; one it refused goes with `region`.
    if (SetWindowRgn(box, region.get(), TRUE)) {
        region.release();
    }
}

// The switchable picture mirrors the icon across the box's vertical centre line. The box has
// no frame, so its window coordinates are its client coordinates.
void PlaceSwitchablePicture(HWND box) {
    RECT icon;
    RECT window;
    GetWindowRect(GetDlgItem(box, IDC_ABOUT_ICON), &icon);
    GetWindowRect(box, &window);
    const int x = window.right - icon.left - kPictureSize;
    const int y = icon.top - window.top;
    AboutPictureRect = RECT{x, y, x + kPictureSize, y + kPictureSize};
    SetWindowPos(GetDlgItem(box, IDC_ABOUT_PICTURE), nullptr, x, y, kPictureSize, kPictureSize,
                 SWP_NOZORDER | SWP_NOREDRAW);
}

void CopyTitle(HWND box) {
    char title[kAboutTextCapacity] = {};
    if (GetDlgItemTextA(box, IDC_ABOUT_TITLE, title, kAboutTextCapacity) > 0) {
        AboutMailSubject = title;
    }
    SetDlgItemTextA(box, IDC_ABOUT_SHADOW, title);
}

void PlaceShadow(HWND box) {
    RECT title;
    GetWindowRect(GetDlgItem(box, IDC_ABOUT_TITLE), &title);
    MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&title), 2);
    SetWindowPos(GetDlgItem(box, IDC_ABOUT_SHADOW), nullptr, title.left + 1, title.top + 1,
                 title.right - title.left, title.bottom - title.top, SWP_NOZORDER | SWP_NOREDRAW);
}

}  // namespace

void InitAboutBox(HWND box) {
    // The mail address grows piece by piece along the first steps.
    AboutMailAddress = MailAddressPiece(3);
    MeasureColourDepth(box);
    AboutMailAddress.insert(0, MailAddressPiece(2));
    MakeBackgroundBrush();
    AboutMailAddress.insert(0, MailAddressPiece(1));
    MakeImageList(box);
    FillClientArea(box, IDC_ABOUT_BACKGROUND);
    *AboutHandleSlot = box;
    MakeFonts(box);
    AboutMailAddress += MailAddressPiece(4);
    SetDlgItemTextA(box, IDC_ABOUT_MAIL, AboutMailAddress.c_str());

    FillVersionTexts(box);
    SetSize(box, IDC_ABOUT_ICON, kPictureSize, kPictureSize);
    MakeElliptic(box);
    PlaceSwitchablePicture(box);
    AboutPhotoShown = false;
    CopyTitle(box);
    PlaceShadow(box);
    MessageBeep(MB_ICONASTERISK);
}

}  // namespace about
