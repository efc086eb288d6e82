// lettermill-recode --guess: which code page each file is in, and the tables that recode it.
#pragma once

#include <string>

#include "cli/command_line.h"
#include "recode/code_page_guess.h"

namespace cli {

// "CP1251 (win2utf8.tab, -) 0.99", "ASCII" or "unknown", with the code pages that give the same
// text: what --guess says of a file and -t auto of its choice.
std::string DescribeGuess(const recode::CodePageGuess& guess);

// Exit code 0 when every file was placed, 1 when one was unknown or bad, 2 for an empty name.
int RunGuess(const CommandLine& commandLine);

}  // namespace cli
