#pragma once

namespace platform {

// Makes an exhausted allocation end the process at once with exit code 203: no message, no
// clean-up, no unwinding through window procedures.
void EndProcessOnOutOfMemory();

// Ends the process as an exhausted allocation does, for sizes too large to ask for at all.
[[noreturn]] void EndProcessOutOfMemory();

}  // namespace platform
