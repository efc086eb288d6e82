#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <utility>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_replacement.h"

namespace platform {
namespace {

// The new file being written, for a signal that ends the process before it is in place: the old
// file is whole either way, and the new one is removed rather than left behind.
std::atomic<const char*> newFileOnSignal{nullptr};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeNewFileAndEnd(int signal) {
    if (const char* name = newFileOnSignal.load()) {
        ::unlink(name);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void removeNewFileOnSignals() {
    static const bool installed = [] {
        for (const int signal : kEndingSignals) {
            std::signal(signal, removeNewFileAndEnd);
        }
        return true;
    }();
    static_cast<void>(installed);
}

ErrorCode closeAfterFailure(int fd, ErrorCode code) {
    ::close(fd);
    return code;
}

}  // namespace

FileReplacement::~FileReplacement() {
    discard();
}

ErrorCode FileReplacement::begin(const std::string& name) {
    discard();
    if (!isUsableName(name)) {
        return EINVAL;
    }
    // The file a link names is replaced, and the link stays a link.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        return errno;
    }
    target_ = resolved.get();
    struct stat info {};
    if (::stat(target_.c_str(), &info) != 0) {
        return errno;
    }
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(info.st_mode)) {
        return ENOTSUP;
    }
    std::string pattern = target_.substr(0, target_.rfind('/') + 1) + ".lettermill-XXXXXX";
    // A signal between the making of the new file and its noting would leave it behind.
    removeNewFileOnSignals();
    sigset_t ending{};
    sigset_t before{};
    sigemptyset(&ending);
    for (const int signal : kEndingSignals) {
        sigaddset(&ending, signal);
    }
    ::pthread_sigmask(SIG_BLOCK, &ending, &before);
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    const ErrorCode code = fd < 0 ? errno : 0;
    if (fd >= 0) {
        ::close(fd);
        newName_ = pattern;
        newFileOnSignal = newName_.c_str();
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return code;
}

ErrorCode FileReplacement::commit() {
    // Taken now, not at begin(): a read-only file would not let the new text be written. An old
    // file that vanished meanwhile is not brought back.
    struct stat info {};
    if (::stat(target_.c_str(), &info) != 0) {
        return errno;
    }
    const int fd = ::open(newName_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    if (::fchmod(fd, info.st_mode & 07777) != 0 || ::fsync(fd) != 0) {
        return closeAfterFailure(fd, errno);
    }
    // Root replacing another user's file gives the new one that owner; anyone else cannot, and
    // then the file is their own anyway.
    if (::fchown(fd, info.st_uid, info.st_gid) != 0 && info.st_uid != ::geteuid()) {
        return closeAfterFailure(fd, errno);
    }
    if (::close(fd) != 0 || ::rename(newName_.c_str(), target_.c_str()) != 0) {
        return errno;
    }
    newFileOnSignal = nullptr;
    newName_.clear();
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(target_.substr(0, target_.rfind('/') + 1).c_str(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

void FileReplacement::discard() {
    if (newOpen_) { ::close(newFile_); newOpen_ = false; }
    if (oldOpen_) { ::close(oldFile_); oldOpen_ = false; }
    if (!newName_.empty()) {
        ::unlink(newName_.c_str());
        newFileOnSignal = nullptr;
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
ErrorCode FileReplacement::open(const std::string& name, NameCoding) {
    char* r = ::realpath(name.c_str(), nullptr);
    if (!r) return errno;
    target_ = r; std::free(r);
    const int fd = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat info {};
    ::fstat(fd, &info);
    if (S_ISDIR(info.st_mode)) { ::close(fd); return EISDIR; }
    if (!S_ISREG(info.st_mode)) { ::close(fd); return ENOTSUP; }
    identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    oldFile_ = fd; oldOpen_ = true;
    return 0;
}
NativeFile FileReplacement::takeOldFile() { oldOpen_ = false; return oldFile_; }
ErrorCode FileReplacement::makeNewFile() {
    std::string pattern = target_.substr(0, target_.rfind('/') + 1) + ".lettermill-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    newName_ = pattern; newFile_ = fd; newOpen_ = true;
    return 0;
}
void ReplaceAll(std::span<FileReplacement> batch, std::span<ErrorCode> codes) {
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileReplacement& r = batch[i];
        struct stat info {};
        ::fstat(r.oldOpen_ ? r.oldFile_ : r.newFile_, &info);
        ::stat(r.target_.c_str(), &info);
        ::fchown(r.newFile_, info.st_uid, info.st_gid);
        ::fchmod(r.newFile_, info.st_mode & 07777);
        ::fdatasync(r.newFile_);
        ::close(r.newFile_); r.newOpen_ = false;
        codes[i] = ::rename(r.newName_.c_str(), r.target_.c_str()) != 0 ? errno : 0;
        r.newName_.clear();
    }
}
}
