#include "support/support.h"

#include <cerrno>
#include <cstdlib>  // also WIFEXITED for std::system, as POSIX has it
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "recode/io_result.h"
#include "shell/recoding_pass.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lm {
namespace {

// What each system answers to the same name: Windows reports a name it cannot resolve, a
// missing folder and blanks alike as a path not found, and a folder opened as a file as access
// denied.
const std::pair<const char*, recode::IoResult> kCodes[] = {
    {"ENOENT", ENOENT},
    {"ENOFOLDER", ON_WINDOWS_ELSE(ERROR_PATH_NOT_FOUND, ENOENT)},
    {"EISDIR", ON_WINDOWS_ELSE(ERROR_ACCESS_DENIED, EISDIR)},
    {"EBUSY", ON_WINDOWS_ELSE(ERROR_SHARING_VIOLATION, EBUSY)},
    {"ENAMETOOLONG", ON_WINDOWS_ELSE(ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG)},
    {"ENOSPC", ENOSPC},
    {"ENOTSUP", ON_WINDOWS_ELSE(ERROR_NOT_SUPPORTED, ENOTSUP)},
};

std::string Name(recode::Field field) {
    return std::array{"Input", "Table", "Output"}[static_cast<int>(field)];
}

struct LogDialog : shell::DialogOperations {
    explicit LogDialog(const std::array<std::string, 3>& names) : names(names) {}
    const std::array<std::string, 3>& names;
    std::string log;

    void showBusyCursor() override { log += "busy|"; }
    void restoreCursor() override { log += "cursor back"; }
    void enableGoButton(bool enabled) override { log += enabled ? "go on|" : "go off|"; }
    std::string readField(recode::Field field) override {
        log += "read " + Name(field) + "|";
        return names[static_cast<std::size_t>(field)];
    }
    void focusField(recode::Field field) override { log += "focus " + Name(field) + "|"; }
    void showMessage(const recode::PassMessage& message) override {
        log += std::string(recode::MessageText(message.kind)) + ": " + Name(message.field) + " " +
               std::to_string(message.failure.code) + "|";
    }
};

}  // namespace

std::filesystem::path Path(const std::string& name) {
    return std::u8string(name.begin(), name.end());
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

std::string Read(const std::string& path) {
    std::ifstream in(Path(path), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(Path(path), std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

TempDir::TempDir()
    : root_(std::filesystem::temp_directory_path() /
            ("lettermill-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string RunPass(recode::PassFiles& files, const std::array<std::string, 3>& names) {
    LogDialog dialog(names);
    shell::RecodingPass(dialog, files);
    const recode::IoResult pending = recode::takeIoResult();
    return dialog.log + (pending != 0 ? "|code pending " + std::to_string(pending) : "");
}

std::string LogOfPass(std::string_view between) {
    return "busy|go off|" + std::string(between) + "go on|cursor back";
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::string Expand(std::string text) {
    for (const auto& [name, code] : kCodes) {
        ReplaceAll(text, "{" + std::string(name) + "}", std::to_string(code));
        ReplaceAll(text, "[" + std::string(name) + "]",
                   recode::describeIoFailure(recode::IoFailure::System(code)));
    }
    ReplaceAll(text, "\\r\\n", "\r\n");
    ReplaceAll(text, "\\r", "\r");
    ReplaceAll(text, "{CTRL-Z}", "\x1a");
    ReplaceAll(text, "{NUL}", std::string(1, '\0'));
    // {xA8}: a byte by its value, as text of a code page is written.
    for (std::size_t at = 0; (at = text.find("{x", at)) != std::string::npos; ++at) {
        if (at + 4 < text.size() && text[at + 4] == '}') {
            text.replace(at, 5, 1,
                         static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
        }
    }
    ReplaceAll(text, "\\n", ON_WINDOWS_ELSE("\r\n", "\n"));
    return text;
}

// Through the system's shell, as a user runs it: the shell makes the redirections, the program
// is the one built. Windows' cmd has no 1<>: >> does not empty the file either.
Run RunRecode(const std::string& dir, const std::string& arguments, const std::string& in,
              const std::string& out, std::size_t memoryLimit) {
    const std::string quote = ON_WINDOWS_ELSE("\"", "'");
    std::string command =
        ON_WINDOWS_ELSE("cd /d ", "cd ") + quote + dir + quote + " && " +
        (memoryLimit != 0 ? "ulimit -v " + std::to_string(memoryLimit >> 10) + " && " : "");
    std::istringstream words(arguments);
    std::string word;
    // Leading NAME=VALUE words are the program's environment.
    while (words >> word && word.find('=') != std::string::npos &&
           word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") == word.find('=')) {
        command += ON_WINDOWS_ELSE("set \"" + word + "\" && ", "env " + quote + word + quote + " ");
        word.clear();
    }
    command += quote + LETTERMILL_RECODE + quote;
    for (bool more = !word.empty(); more; more = static_cast<bool>(words >> word)) {
        const bool wildcard = word.find('*') != std::string::npos;
        command += " " + (word == "''" ? quote + quote : wildcard ? word : quote + word + quote);
    }
    const bool piped = in.starts_with(kPiped);
    const bool closed = out == kClosed;
    if (!piped) {
        command += " <" + (in.empty() ? ON_WINDOWS_ELSE("NUL", "/dev/null") : in);
    }
    command += (closed ? " >&-" : ON_WINDOWS_ELSE(" >>", " 1<>") + out) + " 2>.err";
    Write(dir + ".out", "");
#ifdef _WIN32
    // Wide, as the ANSI code page would lose the names' characters. The pipe is the test's own:
    // cmd's "type FILE |" runs its left side into a file first.
    const std::wstring wide = Path(command).native();
    // Wine's cmd now and then fails to start a program that is there ("Can't recognize ...",
    // exit code 9009): nothing ran, so the command is given again.
    constexpr int kNotStarted = 9009;
    int status = kNotStarted;
    for (int attempt = 0; attempt < 3 && status == kNotStarted; ++attempt) {
        if (piped) {
            FILE* pipe = _wpopen(wide.c_str(), L"wb");
            const std::string bytes = Read(dir + in.substr(kPiped.size()));
            std::fwrite(bytes.data(), 1, bytes.size(), pipe);
            status = _pclose(pipe);
        } else {
            status = _wsystem(wide.c_str());
        }
    }
#else
    if (piped) {
        command.insert(command.rfind(" && ") + 4,
                       "cat " + quote + in.substr(kPiped.size()) + quote + " | ");
    }
    const int status = std::system(command.c_str());
#endif
    return {ON_WINDOWS_ELSE(status, WIFEXITED(status) ? WEXITSTATUS(status) : -1),
            closed ? "" : Read(dir + out), Read(dir + ".err")};
}

}  // namespace lm
