// lettermill-recode: the recoding pass of Lettermill from the command line.
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/guess_command.h"
#include "cli/recode_command.h"
#include "cli/table_check_command.h"
#include "cli/table_search.h"
#include "platform/out_of_memory.h"
#include "platform/system_file.h"

#ifdef _WIN32
#include "platform/win32_calls.h"

// Asks the C runtime to expand *.txt and the like in the arguments, as cmd leaves that to each
// program; the wide arguments of wmain are expanded with wide names.
extern "C" {
int _dowildcard = -1;
}
#endif

namespace {

constexpr int kUsageExitCode = 2;
// Large blocks only save system calls; the bytes written are the same as with 128.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

namespace {

int RunLettermillRecode(const std::vector<std::string>& arguments) {
    platform::EndProcessOnOutOfMemory("lettermill-recode: out of memory\n");
    const cli::ParsedCommandLine parsed = cli::ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        // The one line that matters, not drowned by the whole help.
        platform::writeStandardError("lettermill-recode: " + parsed.error +
                                     "\nTry 'lettermill-recode --help' for more information.\n");
        return kUsageExitCode;
    }
    switch (parsed.commandLine.action) {
        case cli::Action::ShowHelp:
            platform::writeStandardOutput(cli::kUsage);
            return 0;
        case cli::Action::ShowVersion:
            platform::writeStandardOutput(cli::kVersionText);
            return 0;
        case cli::Action::ListTables:
            cli::PrintTableList();
            return 0;
        case cli::Action::CheckTable:
            return cli::RunTableCheck(parsed.commandLine, kBlockSize);
        case cli::Action::Guess:
            return cli::RunGuess(parsed.commandLine);
        case cli::Action::Recode:
            break;
    }
    return cli::RunRecode(parsed.commandLine, kBlockSize);
}

}  // namespace

#ifdef _WIN32
// The arguments as typed, in UTF-8: through the ANSI code page a name would lose the characters
// it lacks and reach another file.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(platform::wideToUtf8(argv[i]));
    }
    return RunLettermillRecode(arguments);
}
#else
int main(int argc, char** argv) {
    return RunLettermillRecode(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
