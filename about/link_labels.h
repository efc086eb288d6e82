// The About box's two link labels: the web host (control 109) and the mail address (control 110).
// A press of the left button anywhere on a label's rectangle hands its URL to the desktop shell.
#pragma once

#include <windows.h>

#include <string_view>

namespace about {

// The mail address stands nowhere whole in the program file: the set-up joins it from these
// pieces, numbered 1 to 4 by their place in the address.
std::string_view MailAddressPiece(int place);

// Opens "http://" and the web label's text, or "mailto:" with the mail label's text, "?subject="
// and AboutMailSubject, when the press at `pressPoint` (the box's WM_LBUTTONDOWN lParam) lies on
// the label. An empty label opens nothing.
void OpenLinkIfHit(HWND box, int control, const char* prefix, LPARAM pressPoint);

// Both labels in turn, web first.
void OnLinkPress(HWND box, LPARAM pressPoint);

}  // namespace about
