#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/file_replacement.h"
#include "platform/win32_calls.h"

namespace platform {
namespace {

// The attributes a new file takes from the old one; the others describe how a file is stored.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The new files not yet in their old files' places. A console control event (Ctrl-C,
// Ctrl-Break, the console closing) runs its handler on a thread of its own; the lock makes it
// wait while a file is being made or renamed, so it neither misses a file just made nor removes
// one that just took its old file's place, and it ends the process still holding the lock, so
// no rename follows.
SRWLOCK pendingLock = SRWLOCK_INIT;
// Never freed: the handler may still use it while the process ends.
std::vector<HANDLE>& pendingFiles() {
    static auto* files = new std::vector<HANDLE>;
    return *files;
}

class PendingLock {
  public:
    PendingLock() { AcquireSRWLockExclusive(&pendingLock); }
    ~PendingLock() { ReleaseSRWLockExclusive(&pendingLock); }
    PendingLock(const PendingLock&) = delete;
    PendingLock& operator=(const PendingLock&) = delete;
};

void forget(HANDLE file) {
    std::erase(pendingFiles(), file);
}

bool setAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO info{};  // times of 0 stay as they are
    info.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info);
}

// Deleted as its handle closes; a read-only file refuses that until it is writable again.
void removeThroughHandle(HANDLE file) {
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);
    FILE_DISPOSITION_INFO info{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

BOOL WINAPI removeNewFilesAndEnd(DWORD) {
    AcquireSRWLockExclusive(&pendingLock);
    for (HANDLE file : pendingFiles()) {
        removeThroughHandle(file);
    }
    // At once, as the system ends a process on Ctrl-C: the other thread may hold any lock the
    // C runtime's clean-up would wait for. Closing the handles deletes the files.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// Unique within a run, hard to guess from outside; CREATE_NEW makes any name safe, so one
// taken only costs another try.
std::wstring newFileName(const std::wstring& folder) {
    static std::uint64_t state = [] {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<std::uint64_t>(now.QuadPart) ^
               (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
    }();
    std::uint64_t mixed = state += 0x9E3779B97F4A7C15;
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EB;
    wchar_t digits[9] = {};
    for (int i = 0; i < 8; ++i, mixed >>= 4) {
        digits[i] = L"0123456789abcdef"[mixed & 15];
    }
    return folder + L".lettermill-" + digits + L".tmp";
}

// The full name, links and short names resolved: the file a link names is replaced and the
// link stays; "MY_L~SAF.TXT" keeps its long name.
ErrorCode finalName(HANDLE file, std::wstring& name) {
    for (DWORD size = MAX_PATH;;) {
        name.resize(size);
        const DWORD length = GetFinalPathNameByHandleW(file, name.data(), size, VOLUME_NAME_DOS);
        if (length == 0) {
            return GetLastError();
        }
        if (length < size) {
            name.resize(length);
            return 0;
        }
        size = length + 1;
    }
}

// Whether two access lists hold the same entries in the same order.
bool sameAccess(PACL one, PACL other) {
    if (one == nullptr || other == nullptr || one->AceCount != other->AceCount) {
        return one == other;
    }
    for (WORD i = 0; i < one->AceCount; ++i) {
        void* first = nullptr;
        void* second = nullptr;
        if (!GetAce(one, i, &first) || !GetAce(other, i, &second)) {
            return false;
        }
        const WORD size = static_cast<ACE_HEADER*>(first)->AceSize;
        if (size != static_cast<ACE_HEADER*>(second)->AceSize ||
            std::memcmp(first, second, size) != 0) {
            return false;
        }
    }
    return true;
}

// The new file gets the old one's access rights, unless it has them already: Wine keeps rights
// as a Unix mode, and any list set there becomes mode 0775.
ErrorCode copyAccess(HANDLE old, HANDLE newFile) {
    PACL access = nullptr;
    PACL newAccess = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    PSECURITY_DESCRIPTOR newSecurity = nullptr;
    ErrorCode code = GetSecurityInfo(old, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                     nullptr, &access, nullptr, &security);
    if (code == 0) {
        code = GetSecurityInfo(newFile, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                               &newAccess, nullptr, &newSecurity);
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    SECURITY_DESCRIPTOR_CONTROL newControl = 0;
    DWORD revision = 0;
    if (code == 0) {
        GetSecurityDescriptorControl(security, &control, &revision);
        GetSecurityDescriptorControl(newSecurity, &newControl, &revision);
    }
    const bool protectedAccess = (control & SE_DACL_PROTECTED) != 0;
    if (code == 0 && (protectedAccess != ((newControl & SE_DACL_PROTECTED) != 0) ||
                      !sameAccess(access, newAccess))) {
        // Rights the old file inherits stay inherited; rights it was cut off from stay so.
        code = SetSecurityInfo(
            newFile, SE_FILE_OBJECT,
            DACL_SECURITY_INFORMATION | (protectedAccess ? PROTECTED_DACL_SECURITY_INFORMATION
                                                         : UNPROTECTED_DACL_SECURITY_INFORMATION),
            nullptr, nullptr, access, nullptr);
    }
    LocalFree(security);
    LocalFree(newSecurity);
    return code;
}

// The old file as it is now, reached again by name and refused if another file took that name
// meanwhile: its attributes and access rights go to the new file.
ErrorCode takeOver(const std::wstring& target, const FileIdentity& identity, HANDLE newFile,
                   DWORD& attributes) {
    HANDLE old = CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (old == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    FileIdentity now{};
    ErrorCode code = 0;
    if (!GetFileInformationByHandle(old, &info)) {
        code = GetLastError();
    } else if (!identifyFile(old, now) || now != identity) {
        code = ERROR_FILE_INVALID;
    } else {
        code = copyAccess(old, newFile);
    }
    CloseHandle(old);
    if (code != 0) {
        return code;
    }
    attributes = info.dwFileAttributes & kKeptAttributes;
    return setAttributes(newFile, attributes) ? 0 : GetLastError();
}

// The rename through the new file's handle, in one step: the file takes the old name, and the
// old file, still open elsewhere or not, is gone. A read-only old file refuses to be replaced
// until it is writable; it is made so only now and made read-only again if the rename fails.
ErrorCode renameOver(HANDLE newFile, const std::wstring& target, DWORD oldAttributes) {
    const bool readOnly = (oldAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesW(target.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY)) {
        return GetLastError();
    }
    if (lettermillRenameFile(newFile, target.c_str())) {
        return 0;
    }
    const ErrorCode code = GetLastError();
    if (readOnly) {
        SetFileAttributesW(target.c_str(), oldAttributes);
    }
    return code;
}

}  // namespace

FileReplacement::~FileReplacement() {
    discard();
    if (oldOpen_) {
        CloseHandle(oldFile_);
    }
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept {
    *this = std::move(other);
}

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
    if (this != &other) {
        discard();
        if (oldOpen_) {
            CloseHandle(oldFile_);
        }
        target_ = std::move(other.target_);
        identity_ = other.identity_;
        oldFile_ = other.oldFile_;
        newFile_ = other.newFile_;
        oldOpen_ = std::exchange(other.oldOpen_, false);
        newOpen_ = std::exchange(other.newOpen_, false);
    }
    return *this;
}

ErrorCode FileReplacement::open(const std::string& name, NameCoding coding) {
    discard();
    if (oldOpen_) {
        CloseHandle(oldFile_);
        oldOpen_ = false;
    }
    NativeFile file{};
    if (const ErrorCode code = openForReading(name, file, coding)) {
        return code;
    }
    std::wstring target;
    ErrorCode code = identifyFile(file, identity_) ? finalName(file, target) : ERROR_NOT_SUPPORTED;
    if (code != 0) {
        CloseHandle(file);
        return code;
    }
    target_ = wideToUtf8(target);
    oldFile_ = file;
    oldOpen_ = true;
    return 0;
}

NativeFile FileReplacement::takeOldFile() {
    oldOpen_ = false;
    return oldFile_;
}

ErrorCode FileReplacement::makeNewFile() {
    discard();
    std::wstring target;
    if (!utf8ToWide(target_, target)) {
        return ERROR_INVALID_NAME;
    }
    static const bool handled = SetConsoleCtrlHandler(removeNewFilesAndEnd, TRUE);
    static_cast<void>(handled);
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    ErrorCode code = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && code == ERROR_FILE_EXISTS; ++attempt) {
        const std::wstring name = newFileName(folder);
        // Made and noted at once, so that no control event comes in between.
        const PendingLock lock;
        // Not shared for deleting: no one renames it away and puts another file in its place.
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE | WRITE_DAC, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            code = GetLastError();
            continue;
        }
        pendingFiles().push_back(file);
        newFile_ = file;
        newOpen_ = true;
        code = 0;
    }
    return code;
}

void FileReplacement::discard() {
    if (!newOpen_) {
        return;
    }
    const PendingLock lock;
    removeThroughHandle(newFile_);
    forget(newFile_);
    CloseHandle(newFile_);
    newOpen_ = false;
}

void ReplaceAll(std::span<FileReplacement> batch, std::span<ErrorCode> codes) {
    std::vector<std::wstring> targets(batch.size());
    std::vector<DWORD> attributes(batch.size());
    // Every new file gets its old file's attributes and rights, then all reach the disk, then
    // each takes its old file's place: one wait for the disk's flushes rather than one a file.
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& replacement = batch[i];
        if (replacement.oldOpen_) {
            CloseHandle(replacement.takeOldFile());
        }
        codes[i] =
            !replacement.newOpen_ ? ERROR_INVALID_HANDLE
            : !utf8ToWide(replacement.target_, targets[i])
                ? ERROR_INVALID_NAME
                : takeOver(targets[i], replacement.identity_, replacement.newFile_, attributes[i]);
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (codes[i] == 0 && !lettermillFlushFileBuffers(batch[i].newFile_)) {
            codes[i] = GetLastError();
        }
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& replacement = batch[i];
        if (codes[i] == 0) {
            const PendingLock lock;
            codes[i] = renameOver(replacement.newFile_, targets[i], attributes[i]);
            if (codes[i] == 0) {
                forget(replacement.newFile_);
                CloseHandle(replacement.newFile_);
                replacement.newOpen_ = false;
            }
        }
        replacement.discard();
    }
}

}  // namespace platform
