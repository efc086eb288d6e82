#include "platform/out_of_memory.h"

#include <cstdlib>
#include <new>

namespace platform {
namespace {

constexpr int kOutOfMemoryExitCode = 203;

}  // namespace

void EndProcessOnOutOfMemory() {
    std::set_new_handler(EndProcessOutOfMemory);
}

void EndProcessOutOfMemory() {
    std::_Exit(kOutOfMemoryExitCode);
}

}  // namespace platform
