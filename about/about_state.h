// The About box's state. Only one box is open at a time, so it lives in module-level variables:
// the set-up fills them, the clean-up empties them and releases what they own.
#pragma once

#include <windows.h>

#include <string>

#include "about/gdi_handles.h"

namespace about {

// The buffers for the texts the box reads back from its controls.
inline constexpr int kAboutTextCapacity = 260;

// Set by whoever opens the box, before each showing: the variable the box writes its handle to
// while it is open (0 when it goes), and the icon drawn in the left picture.
extern HWND* AboutHandleSlot;
extern HICON AboutIcon;

// Bits per pixel times colour planes of the display; below 15 the box runs in low-colour mode.
extern unsigned AboutColourDepth;
extern COLORREF AboutBackgroundColour;
extern UniqueBrush AboutBackgroundBrush;
// Image 0 the photo, 1 the logo, 2 the icon; 32 x 32 pixels each.
extern UniqueImageList AboutImageList;
extern UniqueFont AboutTitleFont;
// The stock GUI font, underlined, of the two link labels.
extern UniqueFont AboutLinkFont;
// Where the switchable picture lies, in the box's client coordinates.
extern RECT AboutPictureRect;
// Whether the switchable picture shows the photo rather than the logo.
extern bool AboutPhotoShown;
extern std::string AboutMailAddress;
// The product name, or empty; the mail link's subject.
extern std::string AboutMailSubject;

// The About box's ways of showing: low-colour mode below 15 bits per pixel.
bool IsLowColour(unsigned colourDepth);

}  // namespace about
