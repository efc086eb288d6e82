#pragma once

namespace platform {

// Makes an exhausted allocation end the process at once with exit code 203: no clean-up but the
// removal of new files not yet in place, no unwinding through window procedures. `message`, a
// whole line for standard error, is written first when given; the Windows program stays silent.
void EndProcessOnOutOfMemory(const char* message = nullptr);

// Ends the process as an exhausted allocation does, for sizes too large to ask for at all.
[[noreturn]] void EndProcessOutOfMemory();

// What the system layer must still undo before such an end: called without allocating, as a
// signal handler would be. One at a time; null for none.
void UndoOnOutOfMemory(void (*undo)());

}  // namespace platform
