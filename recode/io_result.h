// The pending I/O result code: one per thread, shared by every reader and writer of the thread.
//
// A failing file operation stores its code here, replacing any earlier one; a successful one
// leaves it alone. Callers take and clear it with takeIoResult() right after each open or create,
// and a nonzero code means failure. Besides the system's own codes there are three of the engine's.
#pragma once

#include <cstdint>
#include <string>

namespace recode {

using IoResult = std::uint32_t;

constexpr IoResult kClosedWhileNotOpen = 103;
constexpr IoResult kUsedWhileNotOpen = 104;
constexpr IoResult kUnknownFileType = 105;

IoResult takeIoResult();
void storeIoResult(IoResult code);

// A failure as a reader or writer remembers it. The engine's own codes are numbers that systems
// use too (on Linux 103 is ECONNABORTED), so whose code it is travels with it.
struct IoFailure {
    IoResult code = 0;
    bool engines = false;

    static IoFailure System(IoResult code) { return {code, false}; }
    static IoFailure Engines(IoResult code) { return {code, true}; }
    explicit operator bool() const { return code != 0; }
    bool operator==(const IoFailure&) const = default;
};

// A text for a failure, for messages that name its reason.
std::string describeIoFailure(IoFailure failure);

}  // namespace recode
