#include "program/shell_open_recorder.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "program/running_program.h"
#include "support/temp_dir.h"

namespace shell_testing {
namespace {

constexpr char kRecorderName[] = "url_recorder.exe";

std::string CommandKey(const std::string& scheme) {
    return scheme + "\\shell\\open\\command";
}

// The schemes' commands live in HKEY_CLASSES_ROOT; Wine reads no per-user classes.
bool ReadCommand(const std::string& scheme, std::string& command) {
    char value[1024] = {};
    LONG size = sizeof(value);
    if (RegQueryValueA(HKEY_CLASSES_ROOT, CommandKey(scheme).c_str(), value, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    command = value;
    return true;
}

void WriteCommand(const std::string& scheme, const std::string& command) {
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, CommandKey(scheme).c_str(), REG_SZ, command.c_str(),
                           static_cast<DWORD>(command.size())),
              ERROR_SUCCESS);
}

bool RecorderRunning() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        found = _stricmp(entry.szExeFile, kRecorderName) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

ShellOpenRecorder::ShellOpenRecorder(std::string recordFile) : recordFile_(std::move(recordFile)) {
    testing_support::WriteFileBytes(recordFile_, "");
    const std::string command =
        "\"" LETTERMILL_URL_RECORDER_PATH "\" \"" + recordFile_ + "\" \"%1\"";
    for (const std::string scheme : {"http", "mailto"}) {
        SavedCommand saved{scheme, false, ""};
        saved.existed = ReadCommand(scheme, saved.command);
        saved_.push_back(saved);
        WriteCommand(scheme, command);
    }
}

ShellOpenRecorder::~ShellOpenRecorder() {
    for (const SavedCommand& saved : saved_) {
        if (saved.existed) {
            WriteCommand(saved.scheme, saved.command);
        } else {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, CommandKey(saved.scheme).c_str());
        }
    }
}

std::vector<std::string> ShellOpenRecorder::takeUrls(std::size_t atLeast) {
    std::vector<std::string> lines;
    const auto readLines = [&] {
        lines.clear();
        std::istringstream record(testing_support::ReadFileBytes(recordFile_));
        for (std::string line; std::getline(record, line);) {
            lines.push_back(line);
        }
        return lines.size() >= taken_ + atLeast;
    };
    EXPECT_TRUE(WaitUntil(readLines)) << "fewer URLs than " << atLeast << " came";
    EXPECT_TRUE(WaitUntil([] { return !RecorderRunning(); })) << "a recorder did not end";
    readLines();
    std::vector<std::string> urls(lines.begin() + static_cast<std::ptrdiff_t>(taken_), lines.end());
    taken_ = lines.size();
    return urls;
}

}  // namespace shell_testing
