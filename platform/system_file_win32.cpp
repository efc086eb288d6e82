// Win32 backend: the access, share and creation values give the sharing rule directly.
#include "platform/system_file.h"

#include <windows.h>

namespace platform {
namespace {

// CreateFileA would silently stop at an embedded NUL and reach another file.
bool isUsableName(const std::string& name) {
    return name.find('\0') == std::string::npos;
}

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

// ReadFile and WriteFile count in DWORDs; larger requests are split.
DWORD clampToDword(std::size_t count) {
    return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
}

}  // namespace

ErrorCode openForReading(const std::string& name, NativeFile& file) {
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
