// lettermill.exe under Wine, driven from outside through its windows as a user drives it: each
// start walks a scenario. Drops and icon handles must be the test's own: for those the main
// dialog runs inside the test program.
#include <windows.h>

#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "about/gradient.h"
#include "res/about_resource.h"
#include "res/resource.h"
#include "res/version.h"
#include "shell/main_dialog.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSample = LETTERMILL_SOURCE_DIR "/sample";

// Only a broken run waits this long, and once, so that it ends soon.
bool WaitFor(const auto& done) {
    const ULONGLONG end = ::testing::Test::HasFailure() ? 0 : GetTickCount64() + 20000;
    while (!done() && GetTickCount64() < end) {
        Sleep(20);
    }
    return done();
}

// Sent with a bound: a box that the message opens would keep the answer back.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, message, wParam, lParam, 0, 5000, &result)) << message;
    return static_cast<LRESULT>(result);
}

std::string Text(HWND window) {
    std::string text(1024, '\0');
    text.resize(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
}

void SetText(HWND window, const std::string& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// What `owner` shows over itself: a message box, a file dialog, the About box.
HWND WaitOwnedBy(HWND owner) {
    EXPECT_TRUE(WaitFor([&] { return GetLastActivePopup(owner) != owner; })) << "no box showed";
    return GetLastActivePopup(owner);
}

RECT Rect(HWND window) {
    RECT rect = {};
    return GetWindowRect(window, &rect), rect;
}

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The pass's message box over `dialog`, with "Go!" disabled meanwhile and the system's caption
// for a box without one, answered with OK. Returns its icon (Wine's box has it as stc1).
HICON AnswerMessage(HWND dialog, const std::string& text) {
    const HWND box = WaitOwnedBy(dialog);
    EXPECT_EQ(Text(box), "Error");
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), text);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_GO)));
    const auto icon = reinterpret_cast<HICON>(Send(GetDlgItem(box, stc1), STM_GETICON));
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_GO)); }));
    return icon;
}

// The X display as ImageMagick reads it outside Wine, whose desktop fills it: what reached the
// screen. The last one stays in the build folder for a look.
auto Screenshot() {
    const std::string file = LETTERMILL_BUILD_DIR "/screen.rgb";
    fs::remove("Z:" + file);
    // Nothing to wait on: the file appears whole, under its name, when it is done.
    std::system(("start /unix /bin/sh -c \"import -window root -depth 8 rgb:" + file +
                 ".part && mv " + file + ".part " + file + "\"")
                    .c_str());
    EXPECT_TRUE(WaitFor([&] { return fs::exists("Z:" + file); })) << "no screenshot";
    return [bytes = Read("Z:" + file)](POINT at) {
        const auto i = static_cast<std::size_t>((at.y * GetSystemMetrics(SM_CXSCREEN) + at.x) * 3);
        return RGB(BYTE(bytes.at(i)), BYTE(bytes.at(i + 1)), BYTE(bytes.at(i + 2)));
    };
}

// While it lives, the desktop shell hands http and mailto URLs to cmd, which appends each as a
// line to `record`. Wine reads no classes of the user's own: the system's change for the while.
struct UrlRecorder {
    explicit UrlRecorder(const fs::path& record) {
        for (const std::string scheme : {"http", "mailto"}) {
            std::system(("reg export HKCR\\" + scheme + " " + dir + scheme + ".reg /y").c_str());
            RegSetValueA(HKEY_CLASSES_ROOT, (scheme + "\\shell\\open\\command").c_str(), REG_SZ,
                         ("cmd.exe /c echo %1>>\"" + record.string() + "\"").c_str(), 0);
        }
    }
    ~UrlRecorder() {
        std::system(("reg import " + dir + "http.reg & reg import " + dir + "mailto.reg").c_str());
    }
    const std::string dir = ::testing::TempDir();
};

// lettermill.exe started in a copy of the sample's folder, where the dialog's default names are
// the sample's input and table.
class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        // The file dialogs remember the folders they last showed, which would hide where the
        // program tells them to start.
        RegDeleteTreeA(HKEY_CURRENT_USER,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32");
        fs::remove_all(folder);
        fs::copy(kSample, folder);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        EXPECT_TRUE(CreateProcessA(LETTERMILL_PROGRAM, nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.string().c_str(), &startup, &started));
        // Active: the dialog the program shows.
        EXPECT_TRUE(WaitFor([&] {
            return (dialog = GetForegroundWindow()) &&
                   GetWindowThreadProcessId(dialog, nullptr) == started.dwThreadId;
        })) << "the main dialog did not show";
    }
    // Each scenario ends the program, by Exit or its close box.
    ~ProgramTest() override {
        DWORD code = WaitForSingleObject(started.hProcess, HasFailure() ? 0 : 20000);
        GetExitCodeProcess(started.hProcess, &code);
        EXPECT_EQ(code, 0u);
        TerminateProcess(started.hProcess, 1);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }

    HWND item(int id) const { return GetDlgItem(dialog, id); }
    // Clicks a browse button; the file dialog it opens has `filter` selected. Wine
    // does not convert an ANSI request across processes: UTF-16 it is. Then types `choice` and
    // confirms it, or cancels for none.
    void browse(int button, const std::wstring& filter, const char* choice) const {
        PostMessageA(item(button), BM_CLICK, 0, 0);
        const HWND chooser = WaitOwnedBy(dialog);
        const HWND filters = GetDlgItem(chooser, cmb1);
        wchar_t selected[256] = {};
        SendMessageW(filters, CB_GETLBTEXT, SendMessageW(filters, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(selected));
        EXPECT_EQ(selected, filter);
        SetText(GetDlgItem(chooser, cmb13), choice ? choice : "");
        PostMessageA(GetDlgItem(chooser, choice ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    }

    const fs::path folder = fs::path(::testing::TempDir()) /
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    PROCESS_INFORMATION started = {};
    HWND dialog = nullptr;
};

TEST_F(ProgramTest, MainDialog) {
    const fs::path output = folder / "output.txt";
    const std::string expected = Read(kSample / "expected.txt");
    // Escape leaves the dialog open, Enter in a field runs the pass, which replaces a longer old
    // output whole; posted, they come in order.
    std::ofstream(output) << expected << expected;
    PostMessageA(item(IDC_TABLE_FIELD), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(item(IDC_TABLE_FIELD), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([&] { return Read(output) == expected; }));

    // A name cut to the path limit would name this file, which the pass must not replace.
    fs::remove(output);
    const std::string victim = (folder / std::string(258 - folder.string().size(), 'v')).string();
    std::ofstream(victim) << "kept";
    const std::tuple<std::string, std::string, std::string, const char*> failures[] = {
        {"", "", "", "File name is empty"},
        {"input.txt", "win2trans.tab", victim + std::string(41, 'x'), "Bad file"},
    };
    for (const auto& [input, table, out, message] : failures) {
        SetText(item(IDC_INPUT_FIELD), input);
        SetText(item(IDC_TABLE_FIELD), table);
        SetText(item(IDC_OUTPUT_FIELD), out);
        PostMessageA(item(IDC_GO), BM_CLICK, 0, 0);
        AnswerMessage(dialog, message);
    }
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(Read(victim), "kept");

    // Stay On Top, ticked and cleared, moves nothing.
    const RECT place = Rect(dialog);
    for (const bool ticked : {true, false}) {
        Send(item(IDC_STAY_ON_TOP), BM_CLICK);
        EXPECT_EQ((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, ticked);
        const RECT now = Rect(dialog);
        EXPECT_TRUE(EqualRect(&place, &now));
    }

    // The file dialogs start in the folder of the field's name ("input.txt": none), or else in
    // the program's; a choice puts its full path into the field, a cancel nothing (a name longer
    // than the chooser's buffer would come back cut).
    browse(IDC_INPUT_BROWSE, L"Text files(*.txt;*.lst;*.prn)", "lettermill.exe");
    const std::string program = fs::path(LETTERMILL_PROGRAM).make_preferred().string();
    EXPECT_TRUE(WaitFor([&] { return Text(item(IDC_INPUT_FIELD)) == program; }));
    SetText(item(IDC_TABLE_FIELD), std::string(300, 'k'));
    browse(IDC_TABLE_BROWSE, L"Table files(*.tab)", nullptr);
    EXPECT_TRUE(WaitFor([&] { return GetLastActivePopup(dialog) == dialog; }));
    EXPECT_EQ(Text(item(IDC_TABLE_FIELD)), std::string(300, 'k'));
    // Save As asks before a choice replaces a file.
    SetText(item(IDC_OUTPUT_FIELD), (folder / "new.txt").string());
    browse(IDC_OUTPUT_BROWSE, L"Text files(*.txt;*.lst;*.prn)", "input.txt");
    PostMessageA(GetDlgItem(WaitOwnedBy(GetLastActivePopup(dialog)), IDYES), BM_CLICK, 0, 0);
    const std::string chosen = (folder / "input.txt").string();
    EXPECT_TRUE(WaitFor([&] { return Text(item(IDC_OUTPUT_FIELD)) == chosen; }));
    PostMessageA(item(IDC_EXIT), BM_CLICK, 0, 0);
}

TEST_F(ProgramTest, AboutBox) {
    const UrlRecorder recorder(folder / "urls.txt");
    // A click and a right press open nothing: a box would hold the answers back. A right release
    // and a double-click open it, one at a time.
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN}) {
        Send(dialog, message);
    }
    EXPECT_EQ(GetLastActivePopup(dialog), dialog);
    PostMessageA(dialog, WM_RBUTTONUP, 0, 0);
    PostMessageA(WaitOwnedBy(dialog), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return GetLastActivePopup(dialog) == dialog; }));
    PostMessageA(dialog, WM_LBUTTONDBLCLK, 0, 0);
    const HWND box = WaitOwnedBy(dialog);
    Send(dialog, WM_RBUTTONUP);
    EXPECT_EQ(GetLastActivePopup(dialog), box);
    // The program's own version texts; the links below show the others the box keeps.
    EXPECT_EQ(Text(GetDlgItem(box, IDC_ABOUT_VERSION)), "Version: " LETTERMILL_FILE_VERSION);

    // A press anywhere on a label opens its URL; beside it, or on an empty label, nothing.
    const auto press = [&](POINT at) {
        ScreenToClient(box, &at);
        Send(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    };
    const HWND mail = GetDlgItem(box, IDC_ABOUT_MAIL);
    const RECT web = Rect(GetDlgItem(box, IDC_ABOUT_WEB));
    const RECT mailRect = Rect(mail);
    press({web.left - 1, Centre(web).y});
    SetText(mail, "");
    press(Centre(mailRect));
    SetText(mail, "workshop@lettermill.example.org");
    press({web.left, web.top});
    const std::string webUrl = "http://" LETTERMILL_WEB_HOST "\r\n";
    EXPECT_TRUE(WaitFor([&] { return Read(folder / "urls.txt") == webUrl; }));
    press({mailRect.right - 1, mailRect.bottom - 1});
    const std::string urls =
        webUrl + "mailto:workshop@lettermill.example.org?subject=" LETTERMILL_PRODUCT_NAME "\r\n";
    EXPECT_TRUE(WaitFor([&] { return Read(folder / "urls.txt") == urls; }));

    // The logo's yellow hub; a double-click turns it into the photo's white face and back, a
    // single click leaves it. Closed showing the photo, the box opens again with the logo.
    HWND picture = GetDlgItem(box, IDC_ABOUT_PICTURE);
    const auto shows = [&](COLORREF colour) {
        EXPECT_TRUE(WaitFor([&] { return Screenshot()(Centre(Rect(picture))) == colour; }));
    };
    shows(RGB(255, 255, 0));
    Send(picture, WM_LBUTTONDOWN, MK_LBUTTON);
    Send(picture, WM_LBUTTONUP);
    Send(picture, WM_LBUTTONDBLCLK, MK_LBUTTON);
    shows(RGB(255, 255, 255));
    Send(picture, WM_LBUTTONDBLCLK, MK_LBUTTON);
    shows(RGB(255, 255, 0));
    Send(picture, WM_LBUTTONDBLCLK, MK_LBUTTON);
    shows(RGB(255, 255, 255));

    // The gradient, left of the icon, where the elliptic outline has nothing else drawn.
    const auto screen = Screenshot();
    const RECT outline = Rect(box);
    const int x = (outline.left + Rect(GetDlgItem(box, IDC_ABOUT_ICON)).left) / 2;
    const int height = outline.bottom - outline.top;
    for (int row = height * 2 / 5; row < height * 3 / 5; ++row) {
        const about::RowColour colour = about::GradientRowColour(row, height);
        EXPECT_EQ(screen({x, outline.top + row}), RGB(colour.red, colour.green, colour.blue));
    }

    PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    PostMessageA(dialog, WM_LBUTTONDBLCLK, 0, 0);
    const HWND again = WaitOwnedBy(dialog);
    picture = GetDlgItem(again, IDC_ABOUT_PICTURE);
    shows(RGB(255, 255, 0));
    PostMessageA(again, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(again); }));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The main dialog made inside the test program from the program's template and procedure.
TEST(InProcess, DropsIntoEachFieldWholeAndTheStopIconOfAPassMessage) {
    const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)> dialog(
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                           shell::MainDialog, 0),
        &DestroyWindow);
    SetDlgItemTextA(dialog.get(), IDC_TABLE_FIELD, "");
    HICON icon = nullptr;
    std::thread user([&] { icon = AnswerMessage(dialog.get(), "File name is empty"); });
    SendMessageA(dialog.get(), WM_COMMAND, IDC_GO, 0);
    user.join();
    EXPECT_EQ(icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.get(), IDC_TABLE_FIELD)) << "not the first empty field";

    // Two longer than the program's path buffer: cut, a name could be another file's.
    const std::tuple<int, int, std::string> drops[] = {
        {IDC_INPUT_FRAME, IDC_INPUT_FIELD, "C:\\input.txt"},
        {IDC_TABLE_FRAME, IDC_TABLE_FIELD, "C:\\" + std::string(300, 't')},
        {IDC_OUTPUT_FRAME, IDC_OUTPUT_FIELD, "C:\\" + std::string(300, 'o')}};
    for (const auto& [frame, field, name] : drops) {
        // Zeroed: the list of names ends in two NULs.
        const HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + name.size() + 2);
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        name.copy(reinterpret_cast<char*>(header + 1), name.size());
        GlobalUnlock(block);
        SendMessageA(GetDlgItem(dialog.get(), frame), WM_DROPFILES, reinterpret_cast<WPARAM>(block),
                     0);
        EXPECT_EQ(Text(GetDlgItem(dialog.get(), field)), name);
        // The receiver of a drop releases it: the handle is no longer one.
        EXPECT_EQ(GlobalSize(block), 0u);
    }
}

}  // namespace
