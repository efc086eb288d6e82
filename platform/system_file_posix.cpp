// POSIX backend. POSIX has no share modes, so advisory flock() locks stand in for them on
// regular files opened by name: readers hold a shared lock, writers an exclusive one, and a writer
// empties the file only once it holds its lock, so a refused create leaves the content alone.
#include "platform/system_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

ErrorCode closeAfterFailure(int fd, ErrorCode code) {
    ::close(fd);
    return code;
}

// Locks a regular file without waiting; other kinds (devices, pipes) are shared by nature.
ErrorCode lockRegularFile(int fd, const struct stat& info, int operation) {
    if (!S_ISREG(info.st_mode)) {
        return 0;
    }
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return EBUSY;
        }
        if (errno != EINTR) {
            return 0;  // a file system without locks: go on unprotected, as other tools do
        }
    }
    return 0;
}

// A standard stream takes no lock: the shell opened it, and runs appending to one file at once
// (xargs -P) must all succeed. An output that is the input is refused by identity instead.
ErrorCode duplicate(int standardFd, NativeFile& file) {
    const int fd = ::fcntl(standardFd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    file = fd;
    return 0;
}

bool identifyRegularFile(const struct stat& info, FileIdentity& identity) {
    if (!S_ISREG(info.st_mode)) {
        return false;
    }
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
}

}  // namespace

ErrorCode openForReading(const std::string& name, NativeFile& file, NameCoding) {
    if (!isUsableName(name)) {
        return EINVAL;
    }
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return closeAfterFailure(fd, errno);
    }
    // Reading a folder must fail at the open, as it does on Windows, not at the first read.
    if (S_ISDIR(info.st_mode)) {
        return closeAfterFailure(fd, EISDIR);
    }
    if (const ErrorCode code = lockRegularFile(fd, info, LOCK_SH)) {
        return closeAfterFailure(fd, code);
    }
    file = fd;
    return 0;
}

ErrorCode createForWriting(const std::string& name, NativeFile& file) {
    if (!isUsableName(name)) {
        return EINVAL;
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return closeAfterFailure(fd, errno);
    }
    if (const ErrorCode code = lockRegularFile(fd, info, LOCK_EX)) {
        return closeAfterFailure(fd, code);
    }
    if (S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
        return closeAfterFailure(fd, errno);
    }
    file = fd;
    return 0;
}

// No lock: lettermill-recode refuses an output that is one of its inputs or its table by identity,
// and a lock would only turn away another run that the user asked to write the same file.
ErrorCode openForOutput(const std::string& name, NativeFile& file, NameCoding) {
    if (!isUsableName(name)) {
        return EINVAL;
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return errno;
    }
    file = fd;
    return 0;
}

// Devices and pipes have nothing to empty.
ErrorCode emptyFile(NativeFile file) {
    struct stat info {};
    if (::fstat(file, &info) != 0) {
        return errno;
    }
    return S_ISREG(info.st_mode) && ::ftruncate(file, 0) != 0 ? errno : 0;
}

ErrorCode duplicateStandardInput(NativeFile& file) {
    return duplicate(STDIN_FILENO, file);
}

ErrorCode duplicateStandardOutput(NativeFile& file) {
    return duplicate(STDOUT_FILENO, file);
}

bool identifyByName(const std::string& name, FileIdentity& identity, NameCoding) {
    struct stat info {};
    return isUsableName(name) && ::stat(name.c_str(), &info) == 0 &&
           identifyRegularFile(info, identity);
}

bool identifyFile(NativeFile file, FileIdentity& identity) {
    struct stat info {};
    return ::fstat(file, &info) == 0 && identifyRegularFile(info, identity);
}

bool identifyStandardStream(bool output, FileIdentity& identity) {
    struct stat info {};
    return ::fstat(output ? STDOUT_FILENO : STDIN_FILENO, &info) == 0 &&
           identifyRegularFile(info, identity);
}

StandardStreams reserveStandardStreams() {
    StandardStreams streams;
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        streams.input = streams.input && fd != STDIN_FILENO;
        streams.output = streams.output && fd != STDOUT_FILENO;
        // The lowest free number: this one, as those below are open by now.
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    return streams;
}

// Nothing is left to tell of a stream that cannot be written.
void writeStandardError(std::string_view text) {
    static_cast<void>(writeAll(STDERR_FILENO, text.data(), text.size()));
}

void writeStandardOutput(std::string_view text) {
    static_cast<void>(writeAll(STDOUT_FILENO, text.data(), text.size()));
}

FileKind kindOf(NativeFile file) {
    struct stat info {};
    if (::fstat(file, &info) != 0) {
        return FileKind::Unknown;
    }
    if (S_ISCHR(info.st_mode)) {
        return FileKind::Character;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        return FileKind::Pipe;
    }
    return FileKind::Disk;
}

ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count) {
    for (;;) {
        const ssize_t got = ::read(file, buffer, capacity);
        if (got >= 0) {
            count = static_cast<std::size_t>(got);
            return 0;
        }
        if (errno != EINTR) {
            count = 0;
            return errno;
        }
    }
}

ErrorCode writeAll(NativeFile file, const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(file, data, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (written == 0) {
            return ENOSPC;
        }
        data += written;
        count -= static_cast<std::size_t>(written);
    }
    return 0;
}

ErrorCode closeFile(NativeFile file) {
    return ::close(file) == 0 ? 0 : errno;
}

std::string describeError(ErrorCode code) {
    return std::strerror(static_cast<int>(code));
}

}  // namespace platform
