// lettermill.exe started in a folder of the test's, driven through its windows and messages from
// outside, the way a user drives it: texts typed with WM_SETTEXT, buttons clicked with BM_CLICK,
// keys pressed with posted WM_KEYDOWN, message boxes and file dialogs found among its windows.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace shell_testing {

// How long the program may take to show a window or to end; only a broken run waits this long.
inline constexpr DWORD kPatience = 20000;

// Waits until `condition` holds or kPatience has passed; returns whether it holds.
bool WaitUntil(const std::function<bool()>& condition);

// A kernel handle closed on every way out.
class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~UniqueHandle();
    UniqueHandle(UniqueHandle&& other) noexcept;
    UniqueHandle& operator=(UniqueHandle&& other) noexcept;
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// The texts of one of the program's modal boxes or dialogs.
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// The top-level windows of a thread: dialogs and message boxes among them.
std::vector<HWND> ThreadWindows(DWORD threadId);

// A visible window of the thread with the dialog class, owned by `owner`, and with `title`
// unless that is empty; null if none shows up in time.
HWND WaitForDialogOwnedBy(DWORD threadId, HWND owner, const std::string& title = "");

// Clicks a button of a dialog or message box; posted, since the click may open another box.
void PressButton(HWND dialog, int id);

// A message box as the user sees it: title, text and the buttons that are shown.
struct SeenMessageBox {
    HWND window;
    std::string title;
    std::string text;
    std::vector<int> buttons;  // control ids, IDOK = 1
};

class RunningProgram {
  public:
    // Starts the program with `folder` as its current folder and waits for its main dialog.
    explicit RunningProgram(const std::filesystem::path& folder);
    // A program still running then is ended, so that no test leaves one behind.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    HWND dialog() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string text(int id) const { return TextOf(item(id)); }
    void setText(int id, const std::string& text) const;

    // Posts the click, so that a message box it opens cannot block the test.
    void click(int id) const;
    // Clicks and waits until the click has been handled; false if it did not end, for
    // instance because a message box is showing.
    bool clickAndWait(int id) const;
    void pressKey(HWND window, WPARAM key) const;
    // The window that has the keyboard focus in the program.
    HWND focus() const;

    HWND waitForDialogOwnedBy(HWND owner, const std::string& title = "") const {
        return WaitForDialogOwnedBy(threadId_, owner, title);
    }
    // The message box owned by `owner`; fails the test if none shows up.
    SeenMessageBox waitForMessageBox(HWND owner) const;

    // The exit code once the process has ended, or STILL_ACTIVE if it goes on running.
    DWORD waitForExit() const;
    bool isRunning() const;

  private:
    UniqueHandle process_;
    UniqueHandle thread_;
    DWORD threadId_ = 0;
    HWND dialog_ = nullptr;
};

}  // namespace shell_testing
