// The system layer of the fault-injection build: the real POSIX backend, compiled here into a
// namespace of its own, behind calls that may fail on demand. The engine is compiled a second
// time against this file, so the production build has no hook of any kind.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fault_injection/injected_faults.h"
#include "platform/system_file.h"

// The backend's own includes are all above, so nothing but its code lands in this namespace.
namespace real_backend {
using namespace ::platform;
#include "platform/system_file_posix.cpp"
}  // namespace real_backend

namespace platform {

using fault_injection::Call;
using fault_injection::InjectedFault;
namespace real = real_backend::platform;

ErrorCode openForReading(const std::string& name, NativeFile& file) {
    if (const ErrorCode code = InjectedFault(Call::Open)) {
        return code;
    }
    return real::openForReading(name, file);
}

ErrorCode createForWriting(const std::string& name, NativeFile& file) {
    if (const ErrorCode code = InjectedFault(Call::Open)) {
        return code;
    }
    return real::createForWriting(name, file);
}

ErrorCode duplicateStandardInput(NativeFile& file) {
    if (const ErrorCode code = InjectedFault(Call::Open)) {
        return code;
    }
    return real::duplicateStandardInput(file);
}

ErrorCode duplicateStandardOutput(NativeFile& file) {
    if (const ErrorCode code = InjectedFault(Call::Open)) {
        return code;
    }
    return real::duplicateStandardOutput(file);
}

FileKind kindOf(NativeFile file) {
    return real::kindOf(file);
}

ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count) {
    if (const ErrorCode code = InjectedFault(Call::Read)) {
        count = 0;
        return code;
    }
    return real::readSome(file, buffer, capacity, count);
}

ErrorCode writeAll(NativeFile file, const char* data, std::size_t count) {
    if (const ErrorCode code = InjectedFault(Call::Write)) {
        return code;
    }
    return real::writeAll(file, data, count);
}

// Linux releases the descriptor even when close() reports an error.
ErrorCode closeFile(NativeFile file) {
    const ErrorCode code = InjectedFault(Call::Close);
    const ErrorCode closed = real::closeFile(file);
    return code != 0 ? code : closed;
}

std::string describeError(ErrorCode code) {
    return real::describeError(code);
}

}  // namespace platform
