#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/file_replacement.h"
#include "platform/out_of_memory.h"

namespace platform {
namespace {

// The new files not yet in place, for a process ended by a signal or out of memory: the old
// files are whole either way, and the new ones are removed rather than left behind. Changed only
// while the ending signals are blocked, so a handler never meets it half changed (the program
// has one thread); a slot whose name is empty is free.
struct PendingFile {
    int folder;
    char name[24];
};
std::vector<PendingFile> pending;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr char kNewFilePrefix[] = ".lettermill-";
constexpr int kTriesForAFreeName = 100;
constexpr const char* kAclName = "system.posix_acl_access";

void removePendingFiles() {
    for (const PendingFile& file : pending) {
        if (file.name[0] != '\0') {
            ::unlinkat(file.folder, file.name, 0);
        }
    }
}

extern "C" void removePendingFilesAndEnd(int signal) {
    removePendingFiles();
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigaction(signal, &byDefault, nullptr);
    // Blocked while this handler runs, so it ends the process as soon as the handler returns.
    ::raise(signal);
}

sigset_t endingSignals() {
    sigset_t set{};
    sigemptyset(&set);
    for (const int signal : kEndingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// A signal that the caller ignores (nohup, a script's background job) stays ignored.
void removePendingFilesOnEnd() {
    static const bool installed = [] {
        struct sigaction handler {};
        handler.sa_handler = removePendingFilesAndEnd;
        handler.sa_mask = endingSignals();
        for (const int signal : kEndingSignals) {
            struct sigaction before {};
            if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
                ::sigaction(signal, &handler, nullptr);
            }
        }
        UndoOnOutOfMemory(removePendingFiles);
        return true;
    }();
    static_cast<void>(installed);
}

class EndingSignalsBlocked {
  public:
    EndingSignalsBlocked() {
        const sigset_t ending = endingSignals();
        ::pthread_sigmask(SIG_BLOCK, &ending, &before_);
    }
    ~EndingSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    EndingSignalsBlocked(const EndingSignalsBlocked&) = delete;
    EndingSignalsBlocked& operator=(const EndingSignalsBlocked&) = delete;

  private:
    sigset_t before_{};
};

// Called with the ending signals blocked.
int notePending(int folder, const std::string& name) {
    auto free = std::find_if(pending.begin(), pending.end(),
                             [](const PendingFile& file) { return file.name[0] == '\0'; });
    if (free == pending.end()) {
        free = pending.insert(free, PendingFile{});
    }
    free->folder = folder;
    name.copy(free->name, sizeof free->name - 1);
    free->name[std::min(name.size(), sizeof free->name - 1)] = '\0';
    return static_cast<int>(free - pending.begin());
}

std::string randomNewName() {
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Only unlikely to be taken, not secret: the new file is made exclusively whatever its name.
    static unsigned counter = 0;
    unsigned char bytes[6] = {};
    static_cast<void>(::getrandom(bytes, sizeof bytes, GRND_NONBLOCK));
    std::string name = kNewFilePrefix;
    for (const unsigned char byte : bytes) {
        name += kLetters[(byte + counter++) % (sizeof kLetters - 1)];
    }
    return name;
}

std::string folderOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

std::string baseOf(const std::string& name) {
    return name.substr(name.rfind('/') + 1);
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

// A file system without extended attributes has none to read or carry over.
bool unsupported(int code) {
    return code == ENOTSUP || code == EOPNOTSUPP;
}

// Sizes are asked first; an attribute that grows in between is asked again.
ErrorCode readAttributes(int fd, Attributes& attributes) {
    attributes.clear();
    ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size <= 0) {
        return size == 0 || unsupported(errno) ? 0 : errno;
    }
    std::string names(static_cast<std::size_t>(size), '\0');
    size = ::flistxattr(fd, names.data(), names.size());
    if (size < 0) {
        return errno == ERANGE ? readAttributes(fd, attributes) : errno;
    }
    names.resize(static_cast<std::size_t>(size));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const std::string name = names.c_str() + at;
        std::string value;
        ssize_t length = 0;
        do {
            length = ::fgetxattr(fd, name.c_str(), nullptr, 0);
            value.resize(static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
            length =
                length < 0 ? length : ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        } while (length < 0 && errno == ERANGE);
        if (length < 0 && errno != ENODATA) {
            return errno;
        }
        if (length >= 0) {
            value.resize(static_cast<std::size_t>(length));
            attributes.emplace_back(name, value);
        }
    }
    return 0;
}

// The new file gets exactly the old one's attributes: an ACL the folder's default gave it is
// removed, an attribute it already has is not set again (a security label it may not set).
// Only an attribute that this file system does not support at all may stay behind, never an
// ACL.
ErrorCode carryAttributes(int fd, const Attributes& old) {
    Attributes present;
    if (const ErrorCode code = readAttributes(fd, present)) {
        return code;
    }
    for (const auto& attribute : old) {
        if (std::find(present.begin(), present.end(), attribute) == present.end() &&
            ::fsetxattr(fd, attribute.first.c_str(), attribute.second.data(),
                        attribute.second.size(), 0) != 0 &&
            (!unsupported(errno) || attribute.first == kAclName)) {
            return errno;
        }
    }
    for (const auto& attribute : present) {
        const auto same = [&](const auto& other) { return other.first == attribute.first; };
        if (std::none_of(old.begin(), old.end(), same) &&
            ::fremovexattr(fd, attribute.first.c_str()) != 0 && errno != ENODATA &&
            !unsupported(errno)) {
            return errno;
        }
    }
    return 0;
}

bool isFile(const struct stat& info, const FileIdentity& identity) {
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)} == identity;
}

}  // namespace

FileReplacement::~FileReplacement() {
    release();
}

void FileReplacement::release() {
    discard();
    if (std::exchange(oldOpen_, false)) {
        ::close(oldFile_);
    }
    if (folder_ >= 0) {
        ::close(std::exchange(folder_, -1));
    }
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept {
    *this = std::move(other);
}

// The pending registry names the folder's descriptor and the new name, which move along.
FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
    if (this != &other) {
        release();
        target_ = std::move(other.target_);
        newName_ = std::move(other.newName_);
        identity_ = other.identity_;
        oldFile_ = other.oldFile_;
        newFile_ = other.newFile_;
        oldOpen_ = std::exchange(other.oldOpen_, false);
        newOpen_ = std::exchange(other.newOpen_, false);
        folder_ = std::exchange(other.folder_, -1);
        pendingSlot_ = std::exchange(other.pendingSlot_, -1);
        newIdentity_ = other.newIdentity_;
        mode_ = other.mode_;
        owner_ = other.owner_;
        group_ = other.group_;
        attributes_ = std::move(other.attributes_);
        other.newName_.clear();
    }
    return *this;
}

ErrorCode FileReplacement::open(const std::string& name, NameCoding) {
    release();
    target_.clear();
    if (!isUsableName(name)) {
        return EINVAL;
    }
    // Looked at before it is opened: opening a device may do something, a pipe may wait.
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return S_ISDIR(info.st_mode) ? EISDIR : ENOTSUP;
    }
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    target_ = name;
    int fd = ::open(target_.c_str(), kFlags);
    if (fd < 0 && errno == ELOOP) {
        // The file a link names is replaced, and the link stays a link.
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(name.c_str(), nullptr), &std::free);
        if (!resolved) {
            return errno;
        }
        target_ = resolved.get();
        fd = ::open(target_.c_str(), kFlags);
    }
    if (fd < 0) {
        return errno;
    }
    oldFile_ = fd;
    oldOpen_ = true;
    // The name may have reached another file by the time it was opened.
    if (::fstat(fd, &info) != 0) {
        return errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return S_ISDIR(info.st_mode) ? EISDIR : ENOTSUP;
    }
    identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    mode_ = info.st_mode & 07777;
    owner_ = info.st_uid;
    group_ = info.st_gid;
    return readAttributes(fd, attributes_);
}

NativeFile FileReplacement::takeOldFile() {
    oldOpen_ = false;
    return std::exchange(oldFile_, -1);
}

ErrorCode FileReplacement::makeNewFile() {
    discard();
    if (target_.empty()) {
        return EBADF;
    }
    if (folder_ < 0) {
        folder_ = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder_ < 0) {
            return errno;
        }
    }
    removePendingFilesOnEnd();
    for (int tries = 0; tries < kTriesForAFreeName; ++tries) {
        const std::string name = randomNewName();
        // A signal between the making of the new file and its noting would leave it behind.
        const EndingSignalsBlocked blocked;
        const int fd =
            ::openat(folder_, name.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return errno;
        }
        pendingSlot_ = notePending(folder_, name);
        newName_ = folderOf(target_) + "/" + name;
        newFile_ = fd;
        newOpen_ = true;
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            const ErrorCode code = errno;
            discard();
            return code;
        }
        newIdentity_ = {static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
        return 0;
    }
    return EEXIST;
}

void FileReplacement::discard() {
    if (newOpen_) {
        ::close(newFile_);
        newOpen_ = false;
    }
    if (pendingSlot_ >= 0) {
        const EndingSignalsBlocked blocked;
        ::unlinkat(folder_, pending[pendingSlot_].name, 0);
        pending[pendingSlot_].name[0] = '\0';
        pendingSlot_ = -1;
    }
    newName_.clear();
}

namespace {

// Owner before permissions: a change of owner clears the set-user and set-group bits. Root
// gives the new file another user's owner; anyone else cannot, and may replace only a file of
// their own, whose group they may not be in.
ErrorCode carryOver(int fd, std::uint32_t mode, std::uint32_t owner, std::uint32_t group,
                    const Attributes& attributes) {
    if (::fchown(fd, owner, group) != 0 && owner != ::geteuid()) {
        return errno;
    }
    if (const ErrorCode code = carryAttributes(fd, attributes)) {
        return code;
    }
    return ::fchmod(fd, mode) != 0 ? errno : 0;
}

}  // namespace

void ReplaceAll(std::span<FileReplacement> batch, std::span<ErrorCode> codes) {
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& file = batch[i];
        codes[i] = file.newOpen_ ? carryOver(file.newFile_, file.mode_, file.owner_, file.group_,
                                             file.attributes_)
                                 : EBADF;
    }
    // The new texts reach the disk before any takes an old one's place. Every writeback is
    // started first, so that the disk takes them together and each flush mostly finds its own
    // done: on 3,000 files of 2 KB, 64 a batch, about as fast as one syncfs() and near no flush
    // at all, against half as long again for a flush of each in a row. syncfs() would also wait
    // for every other program's writes on the file system, and tell no file's own failure.
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (codes[i] == 0) {
            ::sync_file_range(batch[i].newFile_, 0, 0, SYNC_FILE_RANGE_WRITE);
        }
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (codes[i] == 0 && ::fdatasync(batch[i].newFile_) != 0) {
            codes[i] = errno;
        }
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& file = batch[i];
        if (file.newOpen_ && ::close(file.newFile_) != 0 && codes[i] == 0) {
            codes[i] = errno;
        }
        file.newOpen_ = false;
    }
    // Only an old name that still reaches the old file is replaced, and only by a new name that
    // still reaches the new one: anyone who may write in the folder may have swapped either.
    struct Folder {
        std::string name;
        int fd;
        ErrorCode code;
    };
    std::vector<Folder> folders;
    const auto folderOfFile = [&](const FileReplacement& file) {
        return std::find_if(folders.begin(), folders.end(), [&](const Folder& folder) {
            return folder.name == folderOf(file.target_);
        });
    };
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& file = batch[i];
        const std::string oldName = baseOf(file.target_);
        const std::string newName = baseOf(file.newName_);
        struct stat info {};
        if (codes[i] == 0 &&
            (::fstatat(file.folder_, oldName.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
             !isFile(info, file.identity_) ||
             ::fstatat(file.folder_, newName.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
             !isFile(info, file.newIdentity_))) {
            codes[i] = EBUSY;
        }
        if (codes[i] == 0) {
            // A signal removes the new file before this rename and never the file in place after.
            const EndingSignalsBlocked blocked;
            if (::renameat(file.folder_, newName.c_str(), file.folder_, oldName.c_str()) != 0) {
                codes[i] = errno;
            } else {
                pending[file.pendingSlot_].name[0] = '\0';
                file.pendingSlot_ = -1;
                file.newName_.clear();
            }
        }
        if (codes[i] != 0) {
            file.discard();
        } else if (folderOfFile(file) == folders.end()) {
            folders.push_back({folderOf(file.target_), file.folder_, 0});
        }
    }
    // The renames reach the disk with their folders, each flushed once.
    for (Folder& folder : folders) {
        folder.code = ::fsync(folder.fd) != 0 ? errno : 0;
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (codes[i] == 0) {
            codes[i] = folderOfFile(batch[i])->code;
        }
    }
}

}  // namespace platform
