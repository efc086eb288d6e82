// The About box made inside the test program: its layout and state, and that it
// releases everything it made, whichever way it is closed.
#include "about/about_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "about/about_state.h"
#include "res/about_resource.h"
#include "running_about_box.h"

namespace {

using about_testing::OpenBox;
using about_testing::RunAboutBox;

std::string TextOf(HWND box, int id) {
    char text[512] = {};
    GetDlgItemTextA(box, id, text, sizeof(text));
    return text;
}

// A control's rectangle in the box's client coordinates.
RECT ClientRectOf(HWND box, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(box, id), &rect);
    MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

TEST(AboutBox, PlacesTheBackgroundAndThePictures) {
    RunAboutBox([](HWND box) {
        RECT client;
        GetClientRect(box, &client);
        EXPECT_TRUE(SameRect(ClientRectOf(box, IDC_ABOUT_BACKGROUND), client));

        const RECT icon = ClientRectOf(box, IDC_ABOUT_ICON);
        EXPECT_EQ(icon.right - icon.left, 32);
        EXPECT_EQ(icon.bottom - icon.top, 32);
        // The switchable picture mirrors the icon across the vertical centre line.
        const RECT picture = ClientRectOf(box, IDC_ABOUT_PICTURE);
        const RECT mirrored = {client.right - icon.right, icon.top, client.right - icon.left,
                               icon.bottom};
        EXPECT_TRUE(SameRect(picture, mirrored));
        EXPECT_TRUE(SameRect(about::AboutPictureRect, mirrored));

        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
}

TEST(AboutBox, TakesItsTextsFromTheVersionResourceAndJoinsTheMailAddress) {
    RunAboutBox([](HWND box) {
        // The test program's own version resource, in a table under language 0x041A.
        EXPECT_EQ(TextOf(box, IDC_ABOUT_COMPANY), "Company of named");
        EXPECT_EQ(TextOf(box, IDC_ABOUT_TITLE), "Title of named");
        EXPECT_EQ(TextOf(box, IDC_ABOUT_SHADOW), "Title of named");
        EXPECT_EQ(TextOf(box, IDC_ABOUT_VERSION), "Version: 7.6.5.4");
        EXPECT_EQ(TextOf(box, IDC_ABOUT_WEB), "web.of.named");
        EXPECT_EQ(TextOf(box, IDC_ABOUT_MAIL), "workshop@lettermill.example.org");
        EXPECT_EQ(about::AboutMailAddress, "workshop@lettermill.example.org");
        EXPECT_EQ(about::AboutMailSubject, "Title of named");
        EXPECT_EQ(OpenBox, box);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(OpenBox, nullptr);
    EXPECT_EQ(about::AboutMailAddress, "");
    EXPECT_EQ(about::AboutMailSubject, "");
}

TEST(AboutBox, ADoubleClickOnThePictureTogglesItAndASingleClickDoesNot) {
    for (int opening = 0; opening < 2; ++opening) {
        RunAboutBox([](HWND box) {
            const HWND picture = GetDlgItem(box, IDC_ABOUT_PICTURE);
            const auto notify = [&](WORD code) {
                SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_PICTURE, code),
                             reinterpret_cast<LPARAM>(picture));
            };
            EXPECT_FALSE(about::AboutPhotoShown);
            notify(STN_CLICKED);
            EXPECT_FALSE(about::AboutPhotoShown);
            notify(STN_DBLCLK);
            EXPECT_TRUE(about::AboutPhotoShown);
            notify(STN_CLICKED);
            EXPECT_TRUE(about::AboutPhotoShown);
            // Left with the photo: the next opening starts from the logo again.
            SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

TEST(AboutBox, TheBackgroundSuitsTheDisplayOfEachOpening) {
    // As a box opened on a low-colour display leaves it.
    about::AboutBackgroundColour = RGB(0, 255, 255);
    RunAboutBox([](HWND box) {
        ASSERT_GE(about::AboutColourDepth, 15u) << "the tests' display has too few colours";
        LOGBRUSH brush = {};
        GetObjectA(about::AboutBackgroundBrush.get(), sizeof(brush), &brush);
        EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(brush.lbColor, RGB(64, 160, 255));
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
}

struct Closing {
    const char* how;
    WPARAM command;
    INT_PTR result;
};

const Closing kClosings[] = {
    {"Enter", IDOK, IDOK},
    {"Escape", IDCANCEL, IDCANCEL},
    {"OK label clicked", MAKEWPARAM(IDC_ABOUT_OK, STN_CLICKED), IDCANCEL},
    {"OK label double-clicked", MAKEWPARAM(IDC_ABOUT_OK, STN_DBLCLK), IDCANCEL},
};

// What the box made, noted while it is open.
struct BoxObjects {
    HBRUSH brush;
    HFONT titleFont;
    HFONT shadowFont;
    HFONT webFont;
    HFONT mailFont;
    HIMAGELIST images;
    HBITMAP imageBits;
    HBITMAP maskBits;
    HRGN region;
};

HFONT FontOf(HWND box, int id) {
    return reinterpret_cast<HFONT>(SendDlgItemMessageA(box, id, WM_GETFONT, 0, 0));
}

BoxObjects NoteObjects(HWND box) {
    BoxObjects objects = {};
    objects.brush = reinterpret_cast<HBRUSH>(SendMessageA(box, WM_CTLCOLORDLG, 0, 0));
    objects.titleFont = FontOf(box, IDC_ABOUT_TITLE);
    objects.shadowFont = FontOf(box, IDC_ABOUT_SHADOW);
    objects.webFont = FontOf(box, IDC_ABOUT_WEB);
    objects.mailFont = FontOf(box, IDC_ABOUT_MAIL);
    objects.images = about::AboutImageList.get();
    IMAGEINFO info = {};
    ImageList_GetImageInfo(objects.images, 0, &info);
    objects.imageBits = info.hbmImage;
    objects.maskBits = info.hbmMask;
    objects.region = about::AboutWindowRegion;
    return objects;
}

void ExpectAlive(const BoxObjects& objects) {
    EXPECT_EQ(GetObjectType(objects.brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(objects.titleFont), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(objects.shadowFont, objects.titleFont);
    EXPECT_EQ(GetObjectType(objects.webFont), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(objects.mailFont, objects.webFont);
    EXPECT_NE(objects.webFont, objects.titleFont);
    EXPECT_EQ(ImageList_GetImageCount(objects.images), 3);
    EXPECT_EQ(GetObjectType(objects.imageBits), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(objects.maskBits), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_NE(objects.region, nullptr);
}

void ExpectReleased(const BoxObjects& objects) {
    EXPECT_EQ(GetObjectType(objects.brush), 0u);
    EXPECT_EQ(GetObjectType(objects.titleFont), 0u);
    EXPECT_EQ(GetObjectType(objects.webFont), 0u);
    // An image list's pictures go with it.
    EXPECT_EQ(about::AboutImageList.get(), nullptr);
    EXPECT_EQ(GetObjectType(objects.imageBits), 0u);
    EXPECT_EQ(GetObjectType(objects.maskBits), 0u);
    EXPECT_EQ(GetObjectType(objects.region), 0u);
}

TEST(AboutBox, EveryWayOutClosesItAndReleasesWhatItMade) {
    for (const Closing& closing : kClosings) {
        SCOPED_TRACE(closing.how);
        BoxObjects objects = {};
        HWND seen = nullptr;
        const INT_PTR result = RunAboutBox([&](HWND box) {
            seen = box;
            objects = NoteObjects(box);
            ExpectAlive(objects);
            SendMessageA(box, WM_COMMAND, closing.command, 0);
        });
        EXPECT_EQ(result, closing.result);
        EXPECT_FALSE(IsWindow(seen));
        EXPECT_EQ(OpenBox, nullptr);
        ExpectReleased(objects);
    }
}

TEST(AboutBox, FiftyOpeningsLeaveNothingBehind) {
    for (int opening = 0; opening < 50; ++opening) {
        SCOPED_TRACE(opening);
        BoxObjects objects = {};
        RunAboutBox([&](HWND box) {
            objects = NoteObjects(box);
            SendMessageA(box, WM_COMMAND, kClosings[opening % 4].command, 0);
        });
        ExpectReleased(objects);
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
