// Win32 backend: the access, share and creation values give the sharing rule directly.
#include "platform/system_file.h"

#include <windows.h>

namespace platform {
namespace {

ErrorCode openWith(const std::string& name, DWORD access, DWORD creation, NativeFile& file) {
    if (!isUsableName(name)) {
        return ERROR_INVALID_NAME;
    }
    HANDLE handle = CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, creation,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
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

}  // namespace

ErrorCode openForReading(const std::string& name, NativeFile& file, NameCoding) {
    return openWith(name, GENERIC_READ, OPEN_EXISTING, file);
}

ErrorCode createForWriting(const std::string& name, NativeFile& file) {
    return openWith(name, GENERIC_WRITE, CREATE_ALWAYS, file);
}

ErrorCode duplicateStandardInput(NativeFile& file) {
    return duplicate(STD_INPUT_HANDLE, file);
}

ErrorCode duplicateStandardOutput(NativeFile& file) {
    return duplicate(STD_OUTPUT_HANDLE, file);
}

bool identifyByName(const std::string& name, FileIdentity& identity, NameCoding) {
    if (!isUsableName(name)) {
        return false;
    }
    // No access asked: the look conflicts with no share mode of those holding the file open.
    HANDLE handle =
        CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = identifyHandle(handle, identity);
    CloseHandle(handle);
    return known;
}

bool identifyStandardStream(bool output, FileIdentity& identity) {
    HANDLE handle = GetStdHandle(output ? STD_OUTPUT_HANDLE : STD_INPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && identifyHandle(handle, identity);
}

ErrorCode redirectStandardOutput(const std::string& name) {
    NativeFile file{};
    if (const ErrorCode code = createForWriting(name, file)) {
        return code;
    }
    // Held as standard output until the process ends, which closes it.
    if (!SetStdHandle(STD_OUTPUT_HANDLE, file)) {
        const ErrorCode code = GetLastError();
        CloseHandle(file);
        return code;
    }
    return 0;
}

ErrorCode fileInUseCode() {
    return ERROR_SHARING_VIOLATION;
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

std::string describeError(ErrorCode code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    // System texts end in ".\r\n", which does not fit inside a message line.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == '.' || text[length - 1] == ' ')) {
        --length;
    }
    if (length == 0) {
        return "system error " + std::to_string(code);
    }
    return std::string(text, length);
}

}  // namespace platform

// SCRATCH (lead, until the win branch lands)
namespace platform {
ErrorCode openForOutput(const std::string& name, NativeFile& file, NameCoding) {
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    file = handle;
    return 0;
}
ErrorCode emptyFile(NativeFile file) { return SetEndOfFile(file) ? 0 : GetLastError(); }
bool identifyFile(NativeFile file, FileIdentity& identity) { return identifyHandle(file, identity); }
StandardStreams reserveStandardStreams() { return {}; }
static void writeOut(DWORD which, std::string_view text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
void writeStandardError(std::string_view text) { writeOut(STD_ERROR_HANDLE, text); }
void writeStandardOutput(std::string_view text) { writeOut(STD_OUTPUT_HANDLE, text); }
}
