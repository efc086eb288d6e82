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

// A text for a code, for messages that name the reason of a failure.
std::string describeIoResult(IoResult code);

}  // namespace recode
