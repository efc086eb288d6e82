// What the Win32 backend's files share: names between UTF-8 and UTF-16, and the calls whose
// order keeps a replaced file whole.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// False for bytes that are not UTF-8, which name no file: the system would take them as
// something else and reach another one.
bool utf8ToWide(std::string_view text, std::wstring& wide);
// Invalid bytes become U+FFFD: for text that is only shown.
std::wstring utf8ToWideForDisplay(std::string_view text);
// A lone surrogate, which Windows allows in names, is kept as its own three bytes (as UTF-8
// would encode it were it a character) and later refused by utf8ToWide, never made into
// another name.
std::string wideToUtf8(std::wstring_view wide);

}  // namespace platform

// Defined in a file of their own, without the import of <windows.h>, so that a test links
// itself between them and the system (-Wl,--wrap) and sees when they are made.
extern "C" {
BOOL lettermillFlushFileBuffers(HANDLE file);
// Renames the open file over `target`, a full name as GetFinalPathNameByHandleW gives it.
BOOL lettermillRenameFile(HANDLE file, const wchar_t* target);
}
