// lettermill-recode's recoding: every input in turn into one output, or each file in place.
#pragma once

#include <cstddef>

#include "cli/command_line.h"

namespace cli {

// The exit code: 0 when every input was recoded, else the worst message's (see ConsoleDialog).
int RunRecode(const CommandLine& commandLine, std::size_t blockSize);

}  // namespace cli
