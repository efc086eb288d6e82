// lettermill-recode's recoding: every input in turn into one output, or each file in place, all on
// one table read once.
#pragma once

#include <cstddef>

#include "cli/command_line.h"

namespace cli {

// The exit code: 0 when every input was recoded, else the highest of the messages' (1 "Bad
// file", 2 "File name is empty").
int RunRecode(const CommandLine& commandLine, std::size_t blockSize);

}  // namespace cli
