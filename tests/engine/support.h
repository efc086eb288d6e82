// Real files in a fresh folder, a dialog that writes down what the recoding pass asks of it, and
// lettermill-recode run as a user runs it.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "recode/dialog_operations.h"
#include "recode/recoding_pass.h"

#ifdef _WIN32
#define ON_WINDOWS_ELSE(windows, posix) windows
#else
#include <cerrno>
#define ON_WINDOWS_ELSE(windows, posix) posix
#endif

namespace lm {

// The codes with which each system refuses a name.
constexpr recode::IoResult kNotFound = 2;  // ERROR_FILE_NOT_FOUND, ENOENT
constexpr recode::IoResult kNoFolder = ON_WINDOWS_ELSE(3, ENOENT);
constexpr recode::IoResult kIsFolder = ON_WINDOWS_ELSE(5, EISDIR);
constexpr recode::IoResult kInUse = ON_WINDOWS_ELSE(32, EBUSY);
constexpr recode::IoResult kTooLong = ON_WINDOWS_ELSE(3, ENAMETOOLONG);

// The file's bytes, or "<none>" when it cannot be read.
std::string Read(const std::string& path);
void Write(const std::string& path, std::string_view bytes);

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (root_ / name).string(); }

  private:
    std::filesystem::path root_;
};

class LogDialog : public recode::DialogOperations {
  public:
    explicit LogDialog(std::array<std::string, 3> names) : names_(std::move(names)) {}
    std::string log;

    void showBusyCursor() override { log += "busy|"; }
    void restoreCursor() override { log += "cursor back"; }
    void enableGoButton(bool enabled) override { log += enabled ? "go on|" : "go off|"; }
    std::string readField(recode::Field field) override;
    void focusField(recode::Field field) override;
    void showMessage(const recode::PassMessage& message) override;

  private:
    std::array<std::string, 3> names_;
};

// One pass, logged; a result code left pending or a file left open is logged too.
std::string RunPass(recode::PassFiles& files, const std::array<std::string, 3>& names);

// The log of a pass that reads the names up to `lastRead` and shows `message` ("TEXT: FIELD CODE|",
// or nothing).
std::string LogOfPass(const std::string& message = "",
                      recode::Field lastRead = recode::Field::Output);
std::string BadFile(recode::Field field, recode::IoResult code);

struct Run {
    int exitCode;  // -1 when a signal ended it
    std::string out;
    std::string err;
};

// lettermill-recode in `dir` with `arguments` (split at blanks; '' is an empty one), standard
// input from the file `in` (made empty when missing), standard output into `out` (which is not
// emptied first, as with the shell's 1<>), under a limit of `memoryLimit` bytes when not 0.
Run RunRecode(const std::string& dir, const std::string& arguments, const std::string& in = ".in",
              const std::string& out = ".out", std::size_t memoryLimit = 0);

}  // namespace lm
