#include "about/about_state.h"

namespace about {

HWND* AboutHandleSlot = nullptr;
HICON AboutIcon = nullptr;

unsigned AboutColourDepth = 0;
COLORREF AboutBackgroundColour = RGB(64, 160, 255);
UniqueBrush AboutBackgroundBrush;
UniqueImageList AboutImageList;
UniqueFont AboutTitleFont;
UniqueFont AboutLinkFont;
RECT AboutPictureRect = {};
bool AboutPhotoShown = false;
std::string AboutMailAddress;
std::string AboutMailSubject;

bool IsLowColour(unsigned colourDepth) {
    return colourDepth < 15;
}

}  // namespace about
