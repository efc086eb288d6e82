// lettermill-recode --check TABLE: the table checker's findings on standard output, one
// "TABLE:LINE: message" line each.
#pragma once

#include <cstddef>

#include "cli/command_line.h"

namespace cli {

// 0 when the table has entries and nothing to report, 1 after findings or "Bad file", 2 after
// "File name is empty".
int RunTableCheck(const CommandLine& commandLine, std::size_t blockSize);

}  // namespace cli
