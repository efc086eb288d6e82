#include <windows.h>

#include "platform/program_environment.h"

namespace platform {
namespace {

std::string toUtf8(const wchar_t* wide, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), size, nullptr, nullptr);
    return text;
}

// False for bytes that are not UTF-8: they name no file.
bool toWide(const std::string& text, std::wstring& wide) {
    const int length = static_cast<int>(text.size());
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size == 0 && length != 0) {
        return false;
    }
    wide.assign(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), size);
    return true;
}

}  // namespace

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
    return end == std::wstring::npos ? std::string() : toUtf8(name.data(), static_cast<int>(end));
}

std::optional<std::string> environmentVariable(const char* name) {
    std::wstring wideName;
    toWide(name, wideName);
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(0);
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        if (length < value.size()) {
            return toUtf8(value.data(), static_cast<int>(length));
        }
        value.resize(length);  // the size needed, the final NUL included
    }
}

ErrorCode listFiles(const std::string& folder, std::vector<std::string>& names) {
    std::wstring pattern;
    if (!isUsableName(folder) || !toWide(folder + "\\*", pattern)) {
        return ERROR_INVALID_NAME;
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(toUtf8(found.cFileName, static_cast<int>(wcslen(found.cFileName))));
        }
    } while (FindNextFileW(search, &found));
    const ErrorCode code = GetLastError();
    FindClose(search);
    return code == ERROR_NO_MORE_FILES ? 0 : code;
}

}  // namespace platform
