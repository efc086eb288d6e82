// The arguments of lettermill-recode: [-t TABLE] [-u] [-o OUTPUT] [INPUT...], [-t TABLE] [-u]
// --in-place FILE..., [-u] --check TABLE, --guess [FILE...], or --list-tables.
#pragma once

#include <string>
#include <vector>

#include "platform/system_file.h"
#include "res/default_names.h"

namespace cli {

// How the command line's names reach the system: UTF-8 on Windows, taken from its wide arguments.
inline constexpr platform::NameCoding kNames = platform::NameCoding::Utf8;

enum class Action { Recode, CheckTable, Guess, ListTables, ShowHelp, ShowVersion };

struct CommandLine {
    Action action = Action::Recode;
    std::vector<std::string> inputs = {"-"};  // standard input
    bool inPlace = false;
    // A CR alone ends a line, as in classic Mac OS text, instead of being dropped.
    bool crEndsLines = false;
    // The table's keys are UTF-8 characters, as when it begins with a byte-order mark.
    bool utf8Table = false;
    // Replaces a file even when its recoding drops text or it does not look like text.
    bool force = false;
    // The Windows program's default; found as every table named without a folder is
    // (cli/table_search.h), the current folder first.
    std::string table = LETTERMILL_DEFAULT_TABLE;
    bool tableGiven = false;
    // -t auto: each input's code page guessed, and recoded by its table into UTF-8.
    bool autoTable = false;
    std::string output = "-";  // standard output
};

struct ParsedCommandLine {
    CommandLine commandLine;
    std::string error;  // empty when the arguments were understood
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;
// --version: the name and version, the copyright and the warranty, as GNU programs give them.
extern const char* const kVersionText;

}  // namespace cli
