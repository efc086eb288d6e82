#include "platform/out_of_memory.h"

#include <cstdlib>
#include <new>

namespace platform {
namespace {

constexpr int kOutOfMemoryExitCode = 203;

[[noreturn]] void endProcess() {
    std::_Exit(kOutOfMemoryExitCode);
}

}  // namespace

void EndProcessOnOutOfMemory() {
    std::set_new_handler(endProcess);
}

}  // namespace platform
