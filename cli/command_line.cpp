#include "cli/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "res/version.h"

namespace cli {

const char* const kUsage =
    "usage: lettermill-recode [-t TABLE] [-u] [-o OUTPUT] [INPUT...]\n"
    "       lettermill-recode [-t TABLE] [-u] --in-place FILE...\n"
    "       lettermill-recode [-u] --check TABLE\n"
    "       lettermill-recode --list-tables\n"
    "       lettermill-recode --guess [FILE...]\n"
    "Recodes each INPUT (default: standard input) in turn through the translation table TABLE\n"
    "(default: " LETTERMILL_DEFAULT_TABLE
    ") into OUTPUT (default: standard output), with CR LF line ends.\n"
    "A name of - stands for standard input or output. An input that fails is reported and\n"
    "the others are still recoded; an output that is an input is refused.\n"
    "A TABLE named without a folder, with or without .tab (-t win2utf8), is looked for in the\n"
    "current folder, then in each folder of LETTERMILL_TABLES (a list, like PATH), then among\n"
    "the tables installed with lettermill-recode.\n"
    "  -t, --table TABLE    the translation table file; auto guesses each input's code page\n"
    "                       (as --guess) and recodes it into UTF-8 by its table, saying so\n"
    "                       on standard error; UTF-8 and ASCII are copied, and left as they\n"
    "                       are in place, as is a file whose guess is below 0.99\n"
    "  -u, --utf8           the keys of TABLE are UTF-8 characters, not bytes, as when\n"
    "                       TABLE begins with a byte-order mark; a byte of the input that\n"
    "                       is part of no valid character is copied\n"
    "  -o, --output OUTPUT  the output file; an existing one is replaced\n"
    "  -i, --in-place       replace each FILE by its recoded text; the new text reaches the\n"
    "                       disk before it takes the old one's place, so a failure or an\n"
    "                       interruption leaves the file whole, as it was or recoded\n"
    "  -r, --cr-lines       a CR alone ends a line (classic Mac OS text); by default it is\n"
    "                       dropped\n"
    "  -f, --force          replace a FILE even when its recoding drops text (lone CRs, or\n"
    "                       what follows an end-of-file mark), or its first 64 KiB hold NUL\n"
    "                       bytes or look already recoded (UTF-8, and TABLE makes UTF-8)\n"
    "      --check TABLE    report the entries of TABLE that do not do what they seem to,\n"
    "                       as TABLE:LINE: message; exit 0 when there are none\n"
    "      --list-tables    list the tables found without a folder, each with what it does\n"
    "      --guess          say each FILE's code page (default: standard input) from its\n"
    "                       first 64 KiB, as NAME: CODE-PAGE (TABLE-TO-UTF8, TABLE-TO-WIN)\n"
    "                       CONFIDENCE, the chance from 0 to 1 that it is right (- where no\n"
    "                       table is needed), NAME: ASCII, or NAME: unknown (exit code 1)\n"
    "      --help           show this text\n"
    "      --version        show the version\n"
    "A whole folder: find DIR -name '*.txt' -print0 | xargs -0 lettermill-recode -i -t TABLE\n"
    "Exit codes: 0 done, 1 a bad file, 2 an empty file name or a usage error.\n";

const char* const kVersionText = "lettermill-recode (" LETTERMILL_PRODUCT_NAME
                                 ") " LETTERMILL_PRODUCT_VERSION "\n" LETTERMILL_LEGAL_COPYRIGHT
                                 "\n"
                                 "There is NO WARRANTY, to the extent permitted by law.\n";

namespace {

// Options that have no short form.
enum LongOnly { kCheck = 0x100, kGuess, kListTables, kVersion };

constexpr option kOptions[] = {
    {"table", required_argument, nullptr, 't'},
    {"output", required_argument, nullptr, 'o'},
    {"in-place", no_argument, nullptr, 'i'},
    {"cr-lines", no_argument, nullptr, 'r'},
    {"force", no_argument, nullptr, 'f'},
    {"utf8", no_argument, nullptr, 'u'},  // a table of UTF-8 characters
    {"check", required_argument, nullptr, kCheck},
    {"list-tables", no_argument, nullptr, kListTables},
    {"guess", no_argument, nullptr, kGuess},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};
// The leading colon has a missing argument told apart from an unknown option.
constexpr const char* kShortOptions = ":t:o:irfuh";

// The long option a misused argument names, by the name or the unique abbreviation getopt_long
// takes; null when it names none.
const option* longOptionOf(std::string_view name) {
    const option* found = nullptr;
    for (const option& candidate : kOptions) {
        if (candidate.name != nullptr && std::string_view(candidate.name).starts_with(name)) {
            if (found != nullptr) {
                return nullptr;
            }
            found = &candidate;
        }
    }
    return found;
}

// getopt_long's own messages go to the C library's stderr, which on Windows would bypass the
// console's characters, and the C libraries word them differently; these are GNU's words, made
// from what was given.
std::string describeMisuse(int result, std::string_view given) {
    if (!given.starts_with("--")) {
        const std::string option(1, static_cast<char>(optopt));
        return result == ':' ? "option requires an argument -- '" + option + "'"
                             : "invalid option -- '" + option + "'";
    }
    const std::size_t equals = given.find('=');
    const std::string name(given.substr(0, equals));
    const option* known = longOptionOf(std::string_view(name).substr(2));
    if (known != nullptr && known->has_arg == no_argument && equals != std::string_view::npos) {
        return "option '--" + std::string(known->name) + "' doesn't allow an argument";
    }
    if (known != nullptr && known->has_arg == required_argument) {
        return "option '--" + std::string(known->name) + "' requires an argument";
    }
    return "unrecognized option '" + std::string(given) + "'";
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CommandLine& line = parsed.commandLine;
    // getopt_long reorders what it is given, so it works on copies.
    std::vector<std::string> copies = {"lettermill-recode"};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& copy : copies) {
        argv.push_back(copy.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());

    bool outputGiven = false;
    opterr = 0;
    optind = 0;  // from the start, whatever an earlier parse left
    for (int result;
         (result = getopt_long(argc, argv.data(), kShortOptions, kOptions, nullptr)) != -1;) {
        switch (result) {
            case 't':
                line.table = optarg;
                line.tableGiven = true;
                break;
            case 'o':
                line.output = optarg;
                outputGiven = true;
                break;
            case 'i':
                line.inPlace = true;
                break;
            case 'r':
                line.crEndsLines = true;
                break;
            case 'f':
                line.force = true;
                break;
            case 'u':
                line.utf8Table = true;
                break;
            case kCheck:
                line.action = Action::CheckTable;
                line.table = optarg;
                line.tableGiven = true;
                break;
            case kGuess:
                line.action = Action::Guess;
                break;
            case 'h':
                line.action = Action::ShowHelp;
                break;
            case kVersion:
                line.action = Action::ShowVersion;
                break;
            case kListTables:
                line.action = Action::ListTables;
                break;
            default:
                parsed.error = describeMisuse(result, argv[static_cast<std::size_t>(optind) - 1]);
                return parsed;
        }
    }
    std::vector<std::string> inputs(argv.begin() + optind, argv.end() - 1);
    if (line.action == Action::CheckTable && (!inputs.empty() || outputGiven || line.inPlace)) {
        parsed.error = "--check takes a table and nothing to recode";
    } else if (line.action == Action::ListTables && arguments.size() != 1) {
        parsed.error = "--list-tables takes nothing else";
    } else if (line.action == Action::Guess && (line.tableGiven || outputGiven || line.inPlace)) {
        parsed.error = "--guess takes files and nothing else";
    } else if (line.inPlace && outputGiven) {
        parsed.error = "--in-place writes each file back; it takes no output";
    } else if (line.inPlace && (inputs.empty() || std::ranges::count(inputs, "-") != 0)) {
        parsed.error = "--in-place needs the names of the files to replace";
    }
    // A table file named auto is still reached as ./auto.
    line.autoTable = line.action == Action::Recode && line.table == "auto";
    if (!inputs.empty()) {
        line.inputs = std::move(inputs);
    }
    return parsed;
}

}  // namespace cli
