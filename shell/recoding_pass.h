// "Go!": the recoding pass of the main dialog's three names, with the busy cursor, the Go button
// disabled for its whole length, and its message shown while the pass still holds what it had
// open when it stopped.
#pragma once

#include "recode/recoding_pass.h"
#include "shell/dialog_operations.h"

namespace shell {

// Whichever way it ends, the Go button is enabled again, the cursor restored and no I/O result
// code left pending.
void RecodingPass(DialogOperations& dialog, recode::PassFiles& files);

}  // namespace shell
