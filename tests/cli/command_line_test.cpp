#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace {

using cli::Action;
using cli::ParseCommandLine;

struct ArgumentCase {
    std::vector<std::string> arguments;
    Action action;
    std::string input, table, output;
};

TEST(ParseCommandLine, UnderstoodArguments) {
    const ArgumentCase cases[] = {
        {{}, Action::Recode, "-", "win2trans.tab", "-"},
        {{"in.txt"}, Action::Recode, "in.txt", "win2trans.tab", "-"},
        {{"-t", "k.tab", "-o", "out.txt", "in.txt"}, Action::Recode, "in.txt", "k.tab", "out.txt"},
        {{"--table", "k.tab", "--output", "o", "-"}, Action::Recode, "-", "k.tab", "o"},
        {{"-t", "", "in"}, Action::Recode, "in", "", "-"},
        {{"--", "-t"}, Action::Recode, "-t", "win2trans.tab", "-"},
        {{"-o", "-t"}, Action::Recode, "-", "win2trans.tab", "-t"},
        {{"--help", "x"}, Action::ShowHelp, "x", "win2trans.tab", "-"},
        {{"--version"}, Action::ShowVersion, "-", "win2trans.tab", "-"},
        {{"--check", "k.tab"}, Action::CheckTable, "-", "k.tab", "-"},
        {{"--check", ""}, Action::CheckTable, "-", "", "-"},
    };
    for (const ArgumentCase& c : cases) {
        const cli::ParsedCommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.commandLine.action, c.action);
        EXPECT_EQ(parsed.commandLine.input, c.input);
        EXPECT_EQ(parsed.commandLine.table, c.table);
        EXPECT_EQ(parsed.commandLine.output, c.output);
    }
}

TEST(ParseCommandLine, UsageErrors) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-t"}, "option -t needs a file name"},
        {{"a", "-o"}, "option -o needs a file name"},
        {{"-x"}, "unknown option: -x"},
        {{"a", "b"}, "more than one input file: b"},
        {{"--check"}, "option --check needs a file name"},
        {{"--check", "k.tab", "in.txt"}, "--check takes a table and nothing to recode"},
        {{"-o", "out.txt", "--check", "k.tab"}, "--check takes a table and nothing to recode"},
    };
    for (const auto& [arguments, error] : cases) {
        EXPECT_EQ(ParseCommandLine(arguments).error, error);
    }
}

}  // namespace
