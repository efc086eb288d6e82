// lettermill-recode as a user runs it: a real process in a folder of its own.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

struct RunResult {
    int exitCode;  // -1 when a signal ended the program
    std::string out;
    std::string err;
};

// Runs the program in `dir` with `arguments` (shell words, without double quotes), `input` on
// standard input and `prefix` (shell commands, such as a ulimit) run first. `streams` are the
// shell redirections of standard input and output; standard error always goes to a file.
RunResult RunRecode(const TempDir& dir, const std::string& arguments, const std::string& input = "",
                    const std::string& prefix = "",
                    const std::string& streams = "<.stdin >.stdout");

// A run of the program that must end with a message on standard error and nothing on standard
// output.
struct ExpectedRun {
    const char* name;
    std::string arguments;
    int exitCode;
    std::string message;
};

void ExpectRuns(const TempDir& dir, const std::vector<ExpectedRun>& runs);

// Whether the program can be run under a memory limit (ulimit -v) to see it meet exhausted
// memory. AddressSanitizer reserves its shadow memory far beyond any such limit, and its
// operator new reports and aborts instead of calling the new handler.
bool CanLimitMemory();

}  // namespace testing_support
