#include <windows.h>

#include <utility>

#include "platform/file_replacement.h"

namespace platform {

FileReplacement::~FileReplacement() {
    discard();
}

ErrorCode FileReplacement::begin(const std::string& name) {
    discard();
    if (!isUsableName(name)) {
        return ERROR_INVALID_NAME;
    }
    // Opening a folder as a file is refused as access denied, as when it is read.
    HANDLE handle =
        CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    const bool onDisk = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    if (!onDisk) {
        return ERROR_NOT_SUPPORTED;
    }
    // The folder of a full name: a relative one may have none to name.
    const DWORD length = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    std::string full(length, '\0');
    if (length == 0 || GetFullPathNameA(name.c_str(), length, full.data(), nullptr) == 0) {
        return GetLastError();
    }
    full.resize(length - 1);
    target_ = full;
    const std::string folder = full.substr(0, full.find_last_of("/\\") + 1);
    char made[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "lm", 0, made) == 0) {
        return GetLastError();
    }
    newName_ = made;
    return 0;
}

ErrorCode FileReplacement::commit() {
    HANDLE handle = CreateFileA(newName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    const bool flushed = FlushFileBuffers(handle);
    const ErrorCode flushCode = flushed ? 0 : GetLastError();
    CloseHandle(handle);
    if (!flushed) {
        return flushCode;
    }
    // ReplaceFileA keeps the old file's attributes and security; an old file that vanished
    // meanwhile makes it fail rather than be brought back.
    if (!ReplaceFileA(target_.c_str(), newName_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        return GetLastError();
    }
    newName_.clear();
    return 0;
}

void FileReplacement::discard() {
    if (!newName_.empty()) {
        DeleteFileA(newName_.c_str());
        newName_.clear();
    }
}

}  // namespace platform
// SCRATCH (lead)
namespace platform {
FileReplacement::FileReplacement(FileReplacement&& o) noexcept { *this = std::move(o); }
FileReplacement& FileReplacement::operator=(FileReplacement&& o) noexcept {
    discard();
    target_ = std::move(o.target_); newName_ = std::exchange(o.newName_, {}); identity_ = o.identity_;
    oldFile_ = o.oldFile_; newFile_ = o.newFile_; oldOpen_ = std::exchange(o.oldOpen_, false); newOpen_ = std::exchange(o.newOpen_, false);
    return *this;
}
ErrorCode FileReplacement::open(const std::string&, NameCoding) { return ERROR_CALL_NOT_IMPLEMENTED; }
NativeFile FileReplacement::takeOldFile() { oldOpen_ = false; return oldFile_; }
ErrorCode FileReplacement::makeNewFile() { return ERROR_CALL_NOT_IMPLEMENTED; }
void ReplaceAll(std::span<FileReplacement>, std::span<ErrorCode> codes) {
    for (auto& c : codes) c = ERROR_CALL_NOT_IMPLEMENTED;
}
}
