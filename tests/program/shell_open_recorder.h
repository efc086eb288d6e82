// What the desktop shell is asked to open, seen without changing the program: while a recorder
// lives, the "http" and "mailto" schemes open url_recorder.exe, which writes each URL it is given
// into a file of the test's. The schemes' previous commands come back when it goes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace shell_testing {

class ShellOpenRecorder {
  public:
    explicit ShellOpenRecorder(std::string recordFile);
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    // The URLs handed over since the last call, once at least `atLeast` of them have come and
    // every recorder started so far has ended.
    std::vector<std::string> takeUrls(std::size_t atLeast = 0);

  private:
    struct SavedCommand {
        std::string scheme;
        bool existed;
        std::string command;
    };

    std::string recordFile_;
    std::vector<SavedCommand> saved_;
    std::size_t taken_ = 0;
};

}  // namespace shell_testing
