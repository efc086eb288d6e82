#include "platform/win32_calls.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

std::wstring toWide(std::string_view text, DWORD flags, bool& valid) {
    std::wstring wide;
    valid = true;
    if (text.empty()) {
        return wide;
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, flags, text.data(), size, nullptr, 0);
    if (length == 0) {
        valid = false;
        return wide;
    }
    wide.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, flags, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

bool utf8ToWide(std::string_view text, std::wstring& wide) {
    bool valid = false;
    wide = toWide(text, MB_ERR_INVALID_CHARS, valid);
    return valid;
}

std::wstring utf8ToWideForDisplay(std::string_view text) {
    bool valid = false;
    return toWide(text, 0, valid);
}

std::string wideToUtf8(std::wstring_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t code = wide[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (code >> 18));
            text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

}  // namespace platform

BOOL lettermillFlushFileBuffers(HANDLE file) {
    return FlushFileBuffers(file);
}

BOOL lettermillRenameFile(HANDLE file, const wchar_t* target) {
    // The system takes the name in its own form: \\?\C:\... becomes \??\C:\...
    std::wstring name = std::wstring(L"\\??\\") + (target + 4);
    const DWORD bytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->FileNameLength = bytes;
    std::copy(name.begin(), name.end(), info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(buffer.size()));
}
