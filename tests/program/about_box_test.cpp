// The About box of lettermill.exe under Wine, opened, read, clicked and closed from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "about/gradient.h"
#include "program/program_test.h"
#include "program/screenshot.h"
#include "program/shell_open_recorder.h"
#include "res/about_resource.h"
#include "res/resource.h"
#include "res/version.h"

namespace {

using shell_testing::Pixel;
using shell_testing::ProgramTest;
using shell_testing::Screenshot;
using shell_testing::WaitUntil;

constexpr char kWebUrl[] = "http://" LETTERMILL_WEB_HOST;
constexpr char kMailUrl[] =
    "mailto:workshop@lettermill.example.org?subject=" LETTERMILL_PRODUCT_NAME;
// A message sent to the program waits this long at most: a box opened by it would keep the
// answer back.
constexpr UINT kSendTimeout = 3000;

bool SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeout,
                               &ignored) != 0;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

LPARAM ClientPoint(HWND window, POINT screen) {
    ScreenToClient(window, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

// Real input, as the mouse and keyboard make it: Wine turns it into the messages the windows
// under the pointer and with the focus get, double-clicks included.
// Each event carries its place: a pointer moved by SetCursorPos alone may not have arrived there
// when the buttons come.
void MouseAt(POINT screen, std::initializer_list<DWORD> buttons) {
    const auto normalised = [](LONG value, int metric) {
        return static_cast<LONG>((value * 65536 + GetSystemMetrics(metric) / 2) /
                                 GetSystemMetrics(metric));
    };
    std::vector<INPUT> inputs;
    for (const DWORD button : buttons) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = normalised(screen.x, SM_CXSCREEN);
        input.mi.dy = normalised(screen.y, SM_CYSCREEN);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressTab() {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_TAB;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

class AboutBoxTest : public ProgramTest {
  protected:
    // The About boxes showing: the program's dialogs owned by the main dialog.
    std::vector<HWND> boxes() const {
        std::vector<HWND> found;
        for (const HWND window : shell_testing::ThreadWindows(threadId())) {
            if (GetWindow(window, GW_OWNER) == program.dialog() &&
                shell_testing::ClassOf(window) == "#32770" && IsWindowVisible(window)) {
                found.push_back(window);
            }
        }
        return found;
    }

    DWORD threadId() const { return GetWindowThreadProcessId(program.dialog(), nullptr); }

    HWND waitForBox() const {
        const HWND box = program.waitForDialogOwnedBy(program.dialog());
        EXPECT_NE(box, nullptr) << "no About box showed up";
        return box;
    }

    // Opens the box as a double-click on the dialog's background does.
    HWND openBox() const {
        PostMessageA(program.dialog(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
        return waitForBox();
    }

    static void expectClosed(HWND box) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the About box stayed open";
    }

    static HWND item(HWND box, int id) { return GetDlgItem(box, id); }
    static std::string text(HWND box, int id) { return shell_testing::TextOf(item(box, id)); }

    // A point of the main dialog's background, between "Exit" and "Stay On Top".
    POINT background() const {
        const RECT exit = WindowRect(program.item(IDC_EXIT));
        const RECT stay = WindowRect(program.item(IDC_STAY_ON_TOP));
        return POINT{(exit.right + stay.left) / 2, (stay.top + stay.bottom) / 2};
    }

    // Input is handled in the order it is made: once a Tab has moved the focus, everything made
    // before it has been handled too.
    void waitForInputHandled() const {
        const HWND next = GetNextDlgTabItem(program.dialog(), program.focus(), FALSE);
        PressTab();
        EXPECT_TRUE(WaitUntil([&] { return program.focus() == next; }))
            << "the main dialog does not take input";
    }
};

TEST_F(AboutBoxTest, OpensOnADoubleClickAndOnARightButtonReleaseOnly) {
    const POINT point = background();
    MouseAt(point, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    waitForInputHandled();
    EXPECT_TRUE(boxes().empty()) << "a single click opened the box";

    MouseAt(point, {MOUSEEVENTF_RIGHTDOWN});
    waitForInputHandled();
    EXPECT_TRUE(boxes().empty()) << "pressing the right button opened the box";
    MouseAt(point, {MOUSEEVENTF_RIGHTUP});
    HWND box = waitForBox();
    program.pressKey(box, VK_ESCAPE);
    expectClosed(box);

    MouseAt(point,
            {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    box = waitForBox();
    EXPECT_EQ(boxes().size(), 1u);
    program.pressKey(box, VK_ESCAPE);
    expectClosed(box);
}

TEST_F(AboutBoxTest, ASecondRequestWhileItIsOpenOpensNothing) {
    const HWND box = openBox();
    // Sent, so that the answer comes only once they are handled; a second box would hold it.
    EXPECT_TRUE(SendTo(program.dialog(), WM_LBUTTONDBLCLK));
    EXPECT_TRUE(SendTo(program.dialog(), WM_RBUTTONUP));
    EXPECT_EQ(boxes(), std::vector<HWND>{box});
}

TEST_F(AboutBoxTest, ShowsTheVersionTextsAndTheTitlesShadow) {
    const HWND box = openBox();
    EXPECT_EQ(text(box, IDC_ABOUT_COMPANY), LETTERMILL_COMPANY_NAME);
    EXPECT_EQ(text(box, IDC_ABOUT_TITLE), "Lettermill");
    EXPECT_EQ(text(box, IDC_ABOUT_SHADOW), "Lettermill");
    EXPECT_EQ(text(box, IDC_ABOUT_DESCRIPTION), LETTERMILL_FILE_DESCRIPTION);
    EXPECT_EQ(text(box, IDC_ABOUT_VERSION), "Version: 0.1.0.0");
    EXPECT_EQ(text(box, IDC_ABOUT_COPYRIGHT), LETTERMILL_LEGAL_COPYRIGHT);
    EXPECT_EQ(text(box, IDC_ABOUT_COMMENTS), LETTERMILL_COMMENTS);
    EXPECT_EQ(text(box, IDC_ABOUT_WEB), "lettermill.example.org");
    EXPECT_EQ(text(box, IDC_ABOUT_MAIL), "workshop@lettermill.example.org");
    EXPECT_EQ(text(box, IDC_ABOUT_OK), "OK");

    // One pixel right and one below the title, as large as it.
    RECT title = WindowRect(item(box, IDC_ABOUT_TITLE));
    OffsetRect(&title, 1, 1);
    const RECT shadow = WindowRect(item(box, IDC_ABOUT_SHADOW));
    EXPECT_TRUE(EqualRect(&shadow, &title));

    // The window is the ellipse inscribed in its rectangle.
    const RECT window = WindowRect(box);
    const HRGN outline = CreateRectRgn(0, 0, 0, 0);
    const HRGN ellipse =
        CreateEllipticRgn(0, 0, window.right - window.left, window.bottom - window.top);
    EXPECT_EQ(GetWindowRgn(box, outline), COMPLEXREGION);
    // Wine's EqualRgn can tell apart two equal regions built differently; their difference is
    // empty all the same.
    EXPECT_EQ(CombineRgn(ellipse, ellipse, outline, RGN_XOR), NULLREGION);
    DeleteObject(outline);
    DeleteObject(ellipse);
}

TEST_F(AboutBoxTest, OkEnterAndEscapeCloseIt) {
    const auto clickOk = [](HWND box) {
        MouseAt(CentreOf(WindowRect(GetDlgItem(box, IDC_ABOUT_OK))),
                {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    };
    const auto pressEnter = [this](HWND box) { program.pressKey(box, VK_RETURN); };
    const auto pressEscape = [this](HWND box) { program.pressKey(box, VK_ESCAPE); };
    for (const auto& close :
         {std::function<void(HWND)>(clickOk), std::function<void(HWND)>(pressEnter),
          std::function<void(HWND)>(pressEscape)}) {
        const HWND box = openBox();
        close(box);
        expectClosed(box);
    }
    EXPECT_TRUE(program.isRunning());
}

class AboutBoxScreenTest : public AboutBoxTest {
  protected:
    Screenshot screenshot() const { return Screenshot::Take(dir.path("")); }

    // The pixel in the middle of the switchable picture: the logo's yellow hub or the photo's
    // white face.
    static POINT pictureMiddle(HWND box) {
        const RECT picture = WindowRect(GetDlgItem(box, IDC_ABOUT_PICTURE));
        return POINT{picture.left + 16, picture.top + 16};
    }

    bool waitForPicture(HWND box, const Pixel& expected) const {
        const POINT middle = pictureMiddle(box);
        Pixel seen = {};
        const bool shown = WaitUntil([&] {
            seen = screenshot().at(middle.x, middle.y);
            return seen == expected;
        });
        EXPECT_TRUE(shown) << "the picture shows " << shell_testing::Describe(seen);
        return shown;
    }
};

constexpr Pixel kLogoHub = {255, 255, 0};
constexpr Pixel kPhotoFace = {255, 255, 255};

TEST_F(AboutBoxScreenTest, ThePictureStartsWithTheLogoAndADoubleClickTogglesIt) {
    HWND box = openBox();
    const HWND picture = item(box, IDC_ABOUT_PICTURE);
    ASSERT_TRUE(waitForPicture(box, kLogoHub));
    // A single click first: should it toggle, the double-click would bring the logo back.
    EXPECT_TRUE(SendTo(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(16, 16)));
    EXPECT_TRUE(SendTo(picture, WM_LBUTTONUP, 0, MAKELPARAM(16, 16)));
    EXPECT_TRUE(SendTo(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(16, 16)));
    waitForPicture(box, kPhotoFace);
    EXPECT_TRUE(SendTo(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(16, 16)));
    waitForPicture(box, kLogoHub);
    EXPECT_TRUE(SendTo(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(16, 16)));
    waitForPicture(box, kPhotoFace);

    // Closed with the photo showing, it opens again with the logo.
    program.pressKey(box, VK_ESCAPE);
    expectClosed(box);
    box = openBox();
    waitForPicture(box, kLogoHub);
}

TEST_F(AboutBoxScreenTest, TheScreenShowsTheGradientAndTheTitlesColours) {
    const HWND box = openBox();
    const RECT window = WindowRect(box);
    const int height = window.bottom - window.top;
    const int middle = (window.left + window.right) / 2;
    // The rows of the window's middle column that its elliptic outline keeps.
    const HRGN outline = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(box, outline);
    int top = 0;
    while (top < height && !PtInRegion(outline, middle - window.left, top)) {
        ++top;
    }
    int bottom = height - 1;
    while (bottom > top && !PtInRegion(outline, middle - window.left, bottom)) {
        --bottom;
    }
    DeleteObject(outline);
    // The box has no frame: its client area is its window.
    const auto expected = [&](int row) {
        const about::RowColour colour = about::GradientRowColour(row, height);
        return Pixel{colour.red, colour.green, colour.blue};
    };
    ASSERT_TRUE(WaitUntil([&] {
        return screenshot().at(middle, window.top + bottom) == expected(bottom);
    })) << "the box was not painted";

    const Screenshot shot = screenshot();
    EXPECT_EQ(shot.at(middle, window.top + top), expected(top))
        << "top row " << top << ": " << shell_testing::Describe(shot.at(middle, window.top + top));
    EXPECT_EQ(shot.at(middle, window.top + bottom), expected(bottom)) << "bottom row " << bottom;
    // Outside the outline the main dialog or the desktop shows, not the gradient.
    EXPECT_NE(shot.at(window.left, window.top), expected(0));

    // The title's letters in orange over their navy shadow, which shows one pixel right and
    // below them: every shadow pixel that shows has a letter pixel up and left of it.
    const RECT title = WindowRect(item(box, IDC_ABOUT_TITLE));
    constexpr Pixel kOrange = {255, 102, 0};
    constexpr Pixel kNavy = {0, 0, 128};
    int orange = 0;
    int navy = 0;
    int strayNavy = 0;
    for (int y = title.top; y <= title.bottom; ++y) {
        for (int x = title.left; x <= title.right; ++x) {
            if (shot.at(x, y) == kOrange) {
                ++orange;
            } else if (shot.at(x, y) == kNavy) {
                ++navy;
                strayNavy += shot.at(x - 1, y - 1) == kOrange ? 0 : 1;
            }
        }
    }
    EXPECT_GT(orange, 100);
    EXPECT_GT(navy, 20);
    EXPECT_EQ(strayNavy, 0);

    // For the README: the box with the main dialog around it.
    const RECT main = WindowRect(program.dialog());
    shot.saveCrop(LETTERMILL_SCREENSHOT_DIR "\\about-box.ppm", std::min(main.left, window.left) - 8,
                  std::min(main.top, window.top) - 8, std::max(main.right, window.right) + 8,
                  std::max(main.bottom, window.bottom) + 8);
}

class AboutBoxLinkTest : public AboutBoxTest {
  protected:
    shell_testing::ShellOpenRecorder recorder{dir.path("urls.txt")};
};

TEST_F(AboutBoxLinkTest, APressAnywhereOnALabelHandsItsUrlToTheShell) {
    const HWND box = openBox();
    const RECT web = WindowRect(item(box, IDC_ABOUT_WEB));
    const RECT mail = WindowRect(item(box, IDC_ABOUT_MAIL));
    struct Press {
        const char* where;
        POINT point;
        std::vector<std::string> urls;
    };
    const Press presses[] = {
        {"web label, middle", CentreOf(web), {kWebUrl}},
        {"web label, blank left of the text", {web.left, web.top}, {kWebUrl}},
        {"web label, blank right of the text", {web.right - 1, web.bottom - 1}, {kWebUrl}},
        {"mail label, middle", CentreOf(mail), {kMailUrl}},
        {"mail label, blank left of the text", {mail.left + 1, CentreOf(mail).y}, {kMailUrl}},
        {"mail label, blank right of the text", {mail.right - 1, mail.top}, {kMailUrl}},
        {"just left of the web label", {web.left - 1, CentreOf(web).y}, {}},
        {"just below the web label", {CentreOf(web).x, web.bottom}, {}},
        {"just right of the mail label", {mail.right, CentreOf(mail).y}, {}},
        {"the title", CentreOf(WindowRect(item(box, IDC_ABOUT_TITLE))), {}},
        {"the version line", CentreOf(WindowRect(item(box, IDC_ABOUT_VERSION))), {}},
        {"the comments line", CentreOf(WindowRect(item(box, IDC_ABOUT_COMMENTS))), {}},
        {"the gradient below the labels", {CentreOf(mail).x - 90, mail.bottom + 4}, {}},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.where);
        // Sent: by its answer, the shell has been handed what the press hands it.
        EXPECT_TRUE(SendTo(box, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(box, press.point)));
        EXPECT_TRUE(SendTo(box, WM_LBUTTONUP, 0, ClientPoint(box, press.point)));
        EXPECT_EQ(recorder.takeUrls(), press.urls);
    }
}

TEST_F(AboutBoxLinkTest, TheLabelsTextGoesOutAsItIsAndAnEmptyLabelOpensNothing) {
    const HWND box = openBox();
    struct Label {
        int id;
        const char* text;
        std::vector<std::string> urls;
    };
    const Label labels[] = {
        // No test for a scheme already there, and no encoding.
        {IDC_ABOUT_WEB, "http://already.example.org", {"http://http://already.example.org"}},
        {IDC_ABOUT_MAIL,
         "two words@example.org",
         {"mailto:two words@example.org?subject=" LETTERMILL_PRODUCT_NAME}},
        {IDC_ABOUT_WEB, "", {}},
        {IDC_ABOUT_MAIL, "", {}},
    };
    for (const Label& label : labels) {
        SCOPED_TRACE(label.text);
        const HWND control = item(box, label.id);
        ASSERT_TRUE(SendTo(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.text)));
        const LPARAM middle = ClientPoint(box, CentreOf(WindowRect(control)));
        EXPECT_TRUE(SendTo(box, WM_LBUTTONDOWN, MK_LBUTTON, middle));
        EXPECT_EQ(recorder.takeUrls(), label.urls);
    }
}

TEST_F(AboutBoxLinkTest, ADoubleClickOpensALinkOnceAndARealClickReachesTheBox) {
    const HWND box = openBox();
    const LPARAM onMail = ClientPoint(box, CentreOf(WindowRect(item(box, IDC_ABOUT_MAIL))));
    EXPECT_TRUE(SendTo(box, WM_LBUTTONDOWN, MK_LBUTTON, onMail));
    EXPECT_TRUE(SendTo(box, WM_LBUTTONUP, 0, onMail));
    EXPECT_TRUE(SendTo(box, WM_LBUTTONDBLCLK, MK_LBUTTON, onMail));
    EXPECT_TRUE(SendTo(box, WM_LBUTTONUP, 0, onMail));
    EXPECT_EQ(recorder.takeUrls(), std::vector<std::string>{kMailUrl});

    // The label lets the mouse through to the box, blank part and all.
    const RECT web = WindowRect(item(box, IDC_ABOUT_WEB));
    MouseAt(POINT{web.right - 3, CentreOf(web).y}, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(recorder.takeUrls(1), std::vector<std::string>{kWebUrl});
}

}  // namespace
