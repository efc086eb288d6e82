// What one run of lettermill-recode shares, whether it recodes into one output or in place:
// its command line, its tables, read once, its messages, and the opening of its inputs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/reporter.h"
#include "platform/system_file.h"
#include "recode/text_converter.h"
#include "recode/text_line_reader.h"
#include "recode/translation_table.h"

namespace cli {

// What one run shares: its command line, its table, read once, and its messages.
struct Run {
    Run(const CommandLine& commandLine, std::size_t size)
        : line(commandLine), blockSize(size), streams(platform::reserveStandardStreams()) {}

    const CommandLine& line;
    std::size_t blockSize;
    platform::StandardStreams streams;
    Reporter report;
    recode::TranslationTable table{
        recode::TranslationTable::kNoLimit,
        line.utf8Table ? recode::TableKind::Utf8 : recode::TableKind::Bytes};
    std::optional<platform::FileIdentity> tableIdentity;
    bool makesUtf8 = false;
    // The table's converter; with -t auto, those of the code pages' tables into UTF-8, in the
    // order of recode::kByteCodePages, and last one that copies, for UTF-8 and ASCII.
    std::vector<recode::TextConverter> converters;
};

// "input 2": which of the command line's files a message is about, counted from 1.
std::string Nth(std::string_view what, std::size_t index);

// The table named, or with -t auto the built-in tables into UTF-8; false, reported, when the
// table cannot be read or has no entries.
bool LoadTables(Run& run);

// The converter for the input `name`, which begins with `beginning`: the table's, or with -t auto
// that of its guess, the choice said. Null when the input is to be left alone: unknown or, in
// place, unsure (reported as a bad file), or UTF-8 or ASCII in place, with nothing to do.
const recode::TextConverter* ConverterFor(Run& run, const std::string& name,
                                          std::string_view beginning, bool inPlace);

// The text of what the line rules dropped, for a message; empty when nothing was.
std::string DescribeDropped(const recode::TextLineReader::Dropped& dropped);

// An input by name, or standard input for "-"; false, reported, when it cannot be opened.
bool OpenInput(Run& run, const std::string& name, recode::TextLineReader& reader);

}  // namespace cli
