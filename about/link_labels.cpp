#include "about/link_labels.h"

#include <shellapi.h>

#include <string>

#include "about/about_state.h"
#include "res/about_resource.h"

namespace about {
namespace {

// workshop@lettermill.example.org
constexpr std::string_view kMailAddressPieces[] = {"work", "shop@", "lettermill.", "example.org"};

}  // namespace

std::string_view MailAddressPiece(int place) {
    return kMailAddressPieces[place - 1];
}

void OpenLinkIfHit(HWND box, int control, const char* prefix, LPARAM pressPoint) {
    RECT label;
    GetWindowRect(GetDlgItem(box, control), &label);
    // The whole rectangle counts, not only the centred text.
    POINT press = {static_cast<LONG>(LOWORD(pressPoint)), static_cast<LONG>(HIWORD(pressPoint))};
    ClientToScreen(box, &press);
    if (!PtInRect(&label, press)) {
        return;
    }
    char text[kAboutTextCapacity];
    if (GetDlgItemTextA(box, control, text, kAboutTextCapacity) == 0) {
        return;
    }
    // No encoding and no test for a scheme already there: the shell gets the text as it is.
    std::string url = std::string(prefix) + text;
    if (control == IDC_ABOUT_MAIL) {
        url += "?subject=" + AboutMailSubject;
    }
    ShellExecuteA(box, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OnLinkPress(HWND box, LPARAM pressPoint) {
    OpenLinkIfHit(box, IDC_ABOUT_WEB, "http://", pressPoint);
    OpenLinkIfHit(box, IDC_ABOUT_MAIL, "mailto:", pressPoint);
}

}  // namespace about
