// Win32 backend: the access, share and creation values give the sharing rule directly.
#include "platform/system_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32_calls.h"

namespace platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A UTF-8 name reaches exactly the file of that name through the W call; through the ANSI code
// page a character it lacks would become its "best fit" and reach another file (café.txt,
// cafe.txt).
HANDLE openHandle(const std::string& name, NameCoding coding, DWORD access, DWORD share,
                  DWORD creation) {
    std::wstring wide;
    if (!isUsableName(name) || (coding == NameCoding::Utf8 && !utf8ToWide(name, wide))) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    return coding == NameCoding::Utf8 ? CreateFileW(wide.c_str(), access, share, nullptr, creation,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr)
                                      : CreateFileA(name.c_str(), access, share, nullptr, creation,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr);
}

ErrorCode openWith(const std::string& name, NameCoding coding, DWORD access, DWORD creation,
                   NativeFile& file) {
    HANDLE handle = openHandle(name, coding, access, FILE_SHARE_READ, creation);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    file = handle;
    return 0;
}

ErrorCode duplicate(DWORD standardHandle, NativeFile& file) {
    HANDLE original = GetStdHandle(standardHandle);
    if (original == nullptr || original == INVALID_HANDLE_VALUE) {
        return ERROR_INVALID_HANDLE;
    }
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, original, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return GetLastError();
    }
    file = copy;
    return 0;
}

// Only a file on a disk has an identity worth comparing; pipes and consoles have none.
bool identifyHandle(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    identity = {info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

// ReadFile and WriteFile count in DWORDs; larger requests are split.
DWORD clampToDword(std::size_t count) {
    return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
}

// A standard handle the process was started without, or with a value that is no handle, gets
// the null device: a handle opened later could take that value and be written as the stream.
bool reserveStandardHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    SetLastError(NO_ERROR);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
        (GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR)) {
        return true;
    }
    // Held as the stream until the process ends.
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (nothing != INVALID_HANDLE_VALUE && !SetStdHandle(which, nothing)) {
        CloseHandle(nothing);
    }
    return false;
}

void writeText(DWORD which, std::string_view text) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // The console shows characters, whatever its code page: a Cyrillic name stays Cyrillic.
        const std::wstring wide = utf8ToWideForDisplay(text);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!WriteConsoleW(handle, wide.data() + done, count, &written, nullptr) ||
                written == 0) {
                return;
            }
            done += written;
        }
        return;
    }
    // A file or a pipe gets the bytes, with lines ended as Windows text ends them.
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    writeAll(handle, bytes.data(), bytes.size());
}

}  // namespace

ErrorCode openForReading(const std::string& name, NativeFile& file, NameCoding coding) {
    return openWith(name, coding, GENERIC_READ, OPEN_EXISTING, file);
}

ErrorCode createForWriting(const std::string& name, NativeFile& file) {
    return openWith(name, NameCoding::Ansi, GENERIC_WRITE, CREATE_ALWAYS, file);
}

ErrorCode openForOutput(const std::string& name, NativeFile& file, NameCoding coding) {
    return openWith(name, coding, GENERIC_WRITE, OPEN_ALWAYS, file);
}

ErrorCode emptyFile(NativeFile file) {
    // A device or a pipe has nothing to empty.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return 0;
    }
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) {
        return GetLastError();
    }
    return 0;
}

ErrorCode duplicateStandardInput(NativeFile& file) {
    return duplicate(STD_INPUT_HANDLE, file);
}

ErrorCode duplicateStandardOutput(NativeFile& file) {
    return duplicate(STD_OUTPUT_HANDLE, file);
}

bool identifyByName(const std::string& name, FileIdentity& identity, NameCoding coding) {
    // No access asked: the look conflicts with no share mode of those holding the file open.
    HANDLE handle = openHandle(name, coding, 0, kShareAll, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = identifyHandle(handle, identity);
    CloseHandle(handle);
    return known;
}

bool identifyFile(NativeFile file, FileIdentity& identity) {
    return identifyHandle(file, identity);
}

bool identifyStandardStream(bool output, FileIdentity& identity) {
    HANDLE handle = GetStdHandle(output ? STD_OUTPUT_HANDLE : STD_INPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && identifyHandle(handle, identity);
}

StandardStreams reserveStandardStreams() {
    reserveStandardHandle(STD_ERROR_HANDLE);
    return {reserveStandardHandle(STD_INPUT_HANDLE), reserveStandardHandle(STD_OUTPUT_HANDLE)};
}

void writeStandardError(std::string_view text) {
    writeText(STD_ERROR_HANDLE, text);
}

void writeStandardOutput(std::string_view text) {
    writeText(STD_OUTPUT_HANDLE, text);
}

FileKind kindOf(NativeFile file) {
    switch (GetFileType(file)) {
        case FILE_TYPE_DISK:
            return FileKind::Disk;
        case FILE_TYPE_CHAR:
            return FileKind::Character;
        case FILE_TYPE_PIPE:
            return FileKind::Pipe;
        default:
            return FileKind::Unknown;
    }
}

ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count) {
    DWORD got = 0;
    count = 0;
    if (!ReadFile(file, buffer, clampToDword(capacity), &got, nullptr)) {
        const DWORD code = GetLastError();
        return code == ERROR_BROKEN_PIPE ? 0 : code;
    }
    count = got;
    return 0;
}

ErrorCode writeAll(NativeFile file, const char* data, std::size_t count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, clampToDword(count), &written, nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        data += written;
        count -= written;
    }
    return 0;
}

ErrorCode closeFile(NativeFile file) {
    return CloseHandle(file) ? 0 : GetLastError();
}

// In UTF-8, as every message of lettermill-recode is: a system text in another language than
// English may hold characters of any code page.
std::string describeError(ErrorCode code) {
    wchar_t text[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text / sizeof *text, nullptr);
    // System texts end in ".\r\n", which does not fit inside a message line.
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' ||
                          text[length - 1] == L'.' || text[length - 1] == L' ')) {
        --length;
    }
    if (length == 0) {
        return "system error " + std::to_string(code);
    }
    return wideToUtf8({text, length});
}

}  // namespace platform
