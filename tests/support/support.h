// Real files in a fresh folder, a dialog that writes down what the recoding pass asks of it, the
// tests' data files, and lettermill-recode run as a user runs it.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>

#include "recode/recoding_pass.h"

#ifdef _WIN32
#define ON_WINDOWS_ELSE(windows, posix) windows
#else
#define ON_WINDOWS_ELSE(windows, posix) posix
#endif

namespace lm {

// Names are UTF-8, as in the test data, on Windows too.
std::filesystem::path Path(const std::string& name);
std::string Utf8(const std::filesystem::path& path);

// The file's bytes, or "<none>" when it cannot be read.
std::string Read(const std::string& path);
void Write(const std::string& path, std::string_view bytes);

class TempDir {
  public:
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return Utf8(root_ / Path(name)); }

  private:
    std::filesystem::path root_;
};

// One pass of the main dialog, logged as "busy|go off|read Input|...|Bad file: Output 16|go
// on|cursor back"; a result code left pending is logged too.
std::string RunPass(recode::PassFiles& files, const std::array<std::string, 3>& names);
// The log between "go off|" and "go on|" of a pass that reads the three names and shows nothing.
constexpr std::string_view kNamesRead = "read Input|read Table|read Output|";
std::string LogOfPass(std::string_view between = kNamesRead);

void ReplaceAll(std::string& text, std::string_view from, std::string_view to);
// Test data as written: \r\n for CR LF, \r for a CR, \n for a line end as the C library writes
// text (CR LF on Windows), {CTRL-Z} and {NUL} for those bytes, {NAME} for the code of an error on
// this system (ENOENT, ENOFOLDER, EISDIR, EBUSY, ENAMETOOLONG, ENOSPC, ENOTSUP) and [NAME] for its
// text.
std::string Expand(std::string text);

// Exit code (-1 when a signal ended it), standard output and standard error.
using Run = std::tuple<int, std::string, std::string>;

// lettermill-recode in `dir` with `arguments` (split at blanks; '' is an empty one; leading
// NAME=VALUE words are its environment), standard
// input from the file `in` (the null device when empty; through a pipe from the file when `in` is
// "pipe:FILE"), standard output into `out` (which is not emptied first, as with the shell's 1<>;
// .out is emptied; closed when `out` is kClosed), under a limit of `memoryLimit` bytes when not 0.
constexpr std::string_view kPiped = "pipe:";
constexpr std::string_view kClosed = "&-";
Run RunRecode(const std::string& dir, const std::string& arguments, const std::string& in = "",
              const std::string& out = ".out", std::size_t memoryLimit = 0);

}  // namespace lm
