#include "program/running_program.h"

#include <gtest/gtest.h>

#include <utility>

namespace shell_testing {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;
// A message sent to the program may wait this long for it; a modal box keeps it from answering.
constexpr UINT kSendTimeout = 5000;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeout,
                               result ? result : &ignored) != 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + kPatience;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

UniqueHandle::~UniqueHandle() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

UniqueHandle::UniqueHandle(UniqueHandle&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowTextA would give an edit's first text.
    DWORD_PTR length = 0;
    Send(window, WM_GETTEXTLENGTH, 0, 0, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
    text.resize(copied);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::vector<HWND> ThreadWindows(DWORD threadId) {
    std::vector<HWND> windows;
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND WaitForDialogOwnedBy(DWORD threadId, HWND owner, const std::string& title) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (const HWND window : ThreadWindows(threadId)) {
            if (GetWindow(window, GW_OWNER) == owner && ClassOf(window) == kDialogClass &&
                IsWindowVisible(window) && (title.empty() || TextOf(window) == title)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

RunningProgram::RunningProgram(const std::filesystem::path& folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::string commandLine = "lettermill.exe";
    const std::string folderName = folder.string();
    if (!CreateProcessA(LETTERMILL_PROGRAM_PATH, commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, folderName.c_str(), &startup, &started)) {
        ADD_FAILURE() << "cannot start " << LETTERMILL_PROGRAM_PATH << ": " << GetLastError();
        return;
    }
    process_ = UniqueHandle(started.hProcess);
    thread_ = UniqueHandle(started.hThread);
    threadId_ = started.dwThreadId;
    WaitForInputIdle(process_.get(), kPatience);
    WaitUntil([this] {
        for (const HWND window : ThreadWindows(threadId_)) {
            if (ClassOf(window) == kDialogClass && TextOf(window) == "Lettermill" &&
                IsWindowVisible(window)) {
                dialog_ = window;
                return true;
            }
        }
        return false;
    });
    EXPECT_NE(dialog_, nullptr) << "the main dialog did not show";
}

RunningProgram::~RunningProgram() {
    if (process_.get() != nullptr && isRunning()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kPatience);
    }
}

void RunningProgram::setText(int id, const std::string& text) const {
    EXPECT_TRUE(Send(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void RunningProgram::click(int id) const {
    PressButton(dialog_, id);
}

bool RunningProgram::clickAndWait(int id) const {
    return Send(item(id), BM_CLICK, 0, 0);
}

void RunningProgram::pressKey(HWND window, WPARAM key) const {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

HWND RunningProgram::focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(threadId_, &info);
    return info.hwndFocus;
}

SeenMessageBox RunningProgram::waitForMessageBox(HWND owner) const {
    SeenMessageBox seen{waitForDialogOwnedBy(owner), "", "", {}};
    if (seen.window == nullptr) {
        ADD_FAILURE() << "no message box showed up";
        return seen;
    }
    seen.title = TextOf(seen.window);
    seen.text = TextOf(GetDlgItem(seen.window, kMessageBoxTextId));
    for (HWND child = GetWindow(seen.window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Button" && IsWindowVisible(child)) {
            seen.buttons.push_back(GetDlgCtrlID(child));
        }
    }
    return seen;
}

bool RunningProgram::isRunning() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD RunningProgram::waitForExit() const {
    if (WaitForSingleObject(process_.get(), kPatience) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

}  // namespace shell_testing
