// lettermill-recode: the recoding pass of Lettermill from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/recode_command.h"
#include "cli/table_check_command.h"
#include "platform/out_of_memory.h"
#include "res/version.h"

#ifdef _WIN32
// Asks the C runtime to expand *.txt and the like in the arguments, as cmd leaves that to each
// program.
extern "C" {
int _dowildcard = -1;
}
#endif

namespace {

constexpr int kUsageExitCode = 2;
// Large blocks only save system calls; the bytes written are the same as with 128.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

int main(int argc, char** argv) {
    platform::EndProcessOnOutOfMemory("lettermill-recode: out of memory\n");
    const cli::ParsedCommandLine parsed =
        cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "lettermill-recode: %s\n%s", parsed.error.c_str(), cli::kUsage);
        return kUsageExitCode;
    }
    switch (parsed.commandLine.action) {
        case cli::Action::ShowHelp:
            std::fputs(cli::kUsage, stdout);
            return 0;
        case cli::Action::ShowVersion:
            std::puts("lettermill-recode " LETTERMILL_PRODUCT_VERSION);
            return 0;
        case cli::Action::CheckTable:
            return cli::RunTableCheck(parsed.commandLine, kBlockSize);
        case cli::Action::Recode:
            break;
    }
    return cli::RunRecode(parsed.commandLine, kBlockSize);
}
