#include "cli/command_line.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace cli {

const char* const kUsage =
    "usage: lettermill-recode [-t TABLE] [-o OUTPUT] [INPUT...]\n"
    "       lettermill-recode [-t TABLE] --in-place FILE...\n"
    "       lettermill-recode --check TABLE\n"
    "Recodes each INPUT (default: standard input) in turn through the translation table TABLE\n"
    "(default: " LETTERMILL_DEFAULT_TABLE
    ") into OUTPUT (default: standard output), with CR LF line ends.\n"
    "A name of - stands for standard input or output. An input that fails is reported and\n"
    "the others are still recoded; an output that is an input is refused.\n"
    "  -t, --table TABLE    the translation table file\n"
    "  -o, --output OUTPUT  the output file; an existing one is replaced\n"
    "  -i, --in-place       replace each FILE by its recoded text; the new text reaches the\n"
    "                       disk before it takes the old one's place, so a failure or an\n"
    "                       interruption leaves the file whole, as it was or recoded\n"
    "  -r, --cr-lines       a CR alone ends a line (classic Mac OS text); by default it is\n"
    "                       dropped\n"
    "  -f, --force          replace a FILE even when its recoding drops text (lone CRs, or\n"
    "                       what follows an end-of-file mark) or it holds NUL bytes\n"
    "      --check TABLE    report the entries of TABLE that do not do what they seem to,\n"
    "                       as TABLE:LINE: message; exit 0 when there are none\n"
    "      --help           show this text\n"
    "      --version        show the version\n"
    "A whole folder: find DIR -name '*.txt' -print0 | xargs -0 lettermill-recode -i -t TABLE\n"
    "Exit codes: 0 done, 1 a bad file, 2 an empty file name or a usage error.\n";

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CommandLine& line = parsed.commandLine;
    std::vector<std::string> inputs;
    bool outputGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            inputs.push_back(argument);
        } else if (argument == "--in-place" || argument == "-i") {
            line.inPlace = true;
        } else if (argument == "--cr-lines" || argument == "-r") {
            line.crEndsLines = true;
        } else if (argument == "--force" || argument == "-f") {
            line.force = true;
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
    if (line.action == Action::CheckTable && (!inputs.empty() || outputGiven || line.inPlace)) {
        parsed.error = "--check takes a table and nothing to recode";
    } else if (line.inPlace && outputGiven) {
        parsed.error = "--in-place writes each file back; it takes no output";
    } else if (line.inPlace && (inputs.empty() || std::ranges::count(inputs, "-") != 0)) {
        parsed.error = "--in-place needs the names of the files to replace";
    }
    if (!inputs.empty()) {
        line.inputs = std::move(inputs);
    }
    return parsed;
}

}  // namespace cli
