#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/program_environment.h"

namespace platform {

std::string programFolder() {
    // Linux names the program's file here, links resolved, wherever it was started from.
    std::string name(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", name.data(), name.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < name.size()) {
            name.resize(static_cast<std::size_t>(length));
            break;
        }
        name.resize(name.size() * 2);
    }
    return name.substr(0, name.rfind('/'));
}

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

ErrorCode listFiles(const std::string& folder, std::vector<std::string>& names) {
    if (!isUsableName(folder)) {
        return ENOENT;
    }
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return static_cast<ErrorCode>(errno);
    }
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        struct stat info {};
        if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
        errno = 0;
    }
    const ErrorCode code = static_cast<ErrorCode>(errno);
    ::closedir(listing);
    return code;
}

}  // namespace platform
