#include "cli/command_line.h"

#include <cstddef>

namespace cli {

const char* const kUsage =
    "usage: lettermill-recode [-t TABLE] [-o OUTPUT] [INPUT]\n"
    "       lettermill-recode --check TABLE\n"
    "Recodes INPUT (default: standard input) through the translation table TABLE\n"
    "(default: " LETTERMILL_DEFAULT_TABLE
    ") into OUTPUT (default: standard output), with CR LF line ends.\n"
    "A name of - stands for standard input or output.\n"
    "  -t, --table TABLE    the translation table file\n"
    "  -o, --output OUTPUT  the output file; an existing one is replaced\n"
    "      --check TABLE    report the entries of TABLE that do not do what they seem to,\n"
    "                       as TABLE:LINE: message; exit 0 when there are none\n"
    "      --help           show this text\n"
    "      --version        show the version\n";

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CommandLine& line = parsed.commandLine;
    bool inputGiven = false;
    bool outputGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            if (inputGiven) {
                parsed.error = "more than one input file: " + argument;
                return parsed;
            }
            line.input = argument;
            inputGiven = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.action = Action::ShowHelp;
        } else if (argument == "--version") {
            line.action = Action::ShowVersion;
        } else if (argument == "-t" || argument == "--table" || argument == "-o" ||
                   argument == "--output" || argument == "--check") {
            if (i + 1 == arguments.size()) {
                parsed.error = "option " + argument + " needs a file name";
                return parsed;
            }
            const bool isOutput = argument == "-o" || argument == "--output";
            (isOutput ? line.output : line.table) = arguments[++i];
            outputGiven = outputGiven || isOutput;
            if (argument == "--check") {
                line.action = Action::CheckTable;
            }
        } else {
            parsed.error = "unknown option: " + argument;
            return parsed;
        }
    }
    if (line.action == Action::CheckTable && (inputGiven || outputGiven)) {
        parsed.error = "--check takes a table and nothing to recode";
    }
    return parsed;
}

}  // namespace cli
