#include "engine/support.h"

#include <atomic>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lm {
namespace {

const char* const kFieldNames[] = {"Input", "Table", "Output"};

std::size_t OpenFiles() {
#ifdef _WIN32
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
#else
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
#endif
}

}  // namespace

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

TempDir::TempDir() {
    static std::atomic<int> made{0};
    root_ =
        std::filesystem::temp_directory_path() /
        ("lettermill-" +
         std::to_string(std::filesystem::file_time_type::clock::now().time_since_epoch().count()) +
         "-" + std::to_string(++made));
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string LogDialog::readField(recode::Field field) {
    log += "read " + std::string(kFieldNames[static_cast<int>(field)]) + "|";
    return names_[static_cast<std::size_t>(field)];
}

void LogDialog::focusField(recode::Field field) {
    log += "focus " + std::string(kFieldNames[static_cast<int>(field)]) + "|";
}

void LogDialog::showMessage(const recode::PassMessage& message) {
    log += std::string(recode::MessageText(message.kind)) + ": " +
           kFieldNames[static_cast<int>(message.field)] + " " + std::to_string(message.code) + "|";
}

std::string RunPass(recode::PassFiles& files, const std::array<std::string, 3>& names) {
    const std::size_t openBefore = OpenFiles();
    LogDialog dialog(names);
    recode::RecodingPass(dialog, files);
    if (const recode::IoResult code = recode::takeIoResult()) {
        dialog.log += "|code pending " + std::to_string(code);
    }
    if (OpenFiles() != openBefore) {
        dialog.log += "|files left open";
    }
    return dialog.log;
}

std::string LogOfPass(const std::string& message, recode::Field lastRead) {
    std::string log = "busy|go off|";
    for (int field = 0; field <= static_cast<int>(lastRead); ++field) {
        log += "read " + std::string(kFieldNames[field]) + "|";
    }
    return log + message + "go on|cursor back";
}

std::string BadFile(recode::Field field, recode::IoResult code) {
    return LogOfPass("Bad file: " + std::string(kFieldNames[static_cast<int>(field)]) + " " +
                     std::to_string(code) + "|");
}

}  // namespace lm
