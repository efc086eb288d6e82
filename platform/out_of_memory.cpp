#include "platform/out_of_memory.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {
namespace {

constexpr int kOutOfMemoryExitCode = 203;

// Read when memory has run out, so both are set beforehand and need nothing allocated.
std::atomic<const char*> messageOnEnd{nullptr};
std::atomic<void (*)()> undoOnEnd{nullptr};

void writeMessage(const char* message) {
    std::size_t count = std::strlen(message);
#ifdef _WIN32
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, static_cast<DWORD>(count), &written,
              nullptr);
#else
    while (count > 0) {
        const ssize_t written = ::write(STDERR_FILENO, message, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        message += written;
        count -= static_cast<std::size_t>(written);
    }
#endif
}

}  // namespace

void EndProcessOnOutOfMemory(const char* message) {
    messageOnEnd = message;
    std::set_new_handler(EndProcessOutOfMemory);
}

void UndoOnOutOfMemory(void (*undo)()) {
    undoOnEnd = undo;
}

void EndProcessOutOfMemory() {
    if (void (*const undo)() = undoOnEnd.load()) {
        undo();
    }
    if (const char* message = messageOnEnd.load()) {
        writeMessage(message);
    }
    std::_Exit(kOutOfMemoryExitCode);
}

}  // namespace platform
