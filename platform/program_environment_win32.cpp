#include <windows.h>

#include "platform/program_environment.h"
#include "platform/win32_calls.h"

namespace platform {
std::string programFolder() {
    // The name is cut to the buffer's size without a word of it but its length; a longer buffer
    // is tried until the name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    const std::size_t end = name.rfind(L'\\');
    return end == std::wstring::npos ? std::string()
                                     : wideToUtf8(std::wstring_view(name.data(), end));
}

std::optional<std::string> environmentVariable(const char* name) {
    std::wstring wideName;
    utf8ToWide(name, wideName);
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(0);
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        if (length < value.size()) {
            return wideToUtf8(std::wstring_view(value.data(), length));
        }
        value.resize(length);  // the size needed, the final NUL included
    }
}

ErrorCode listFiles(const std::string& folder, std::vector<std::string>& names) {
    std::wstring pattern;
    if (!isUsableName(folder) || !utf8ToWide(folder + "\\*", pattern)) {
        return ERROR_INVALID_NAME;
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(wideToUtf8(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    const ErrorCode code = GetLastError();
    FindClose(search);
    return code == ERROR_NO_MORE_FILES ? 0 : code;
}

}  // namespace platform
