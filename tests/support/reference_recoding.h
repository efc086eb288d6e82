// The recoding rules in their plainest form, written from the rules and not from the engine, as
// oracles for the engine's faster code: a byte-at-a-time line splitter and a walk over every
// table entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The lines a reader gives for these file bytes: LF or CR LF ends a line, any other CR is dropped,
// a Ctrl-Z where a line begins ends the input.
std::vector<std::string> ReferenceLines(std::string_view bytes);

// The replacements of every entry keyed by c, one entry after another in table order; false
// when no entry has that key.
bool WalkEveryEntry(const std::vector<std::string>& entries, unsigned char c, std::string& out);

// A line converted through these entries, each byte above the blank by walking every entry.
std::string ReferenceConversion(const std::vector<std::string>& entries, std::string_view line);

// The output file a pass makes from these table and input bytes, or nothing when the table has
// no entries.
std::optional<std::string> ReferenceRecoding(std::string_view table, std::string_view input);

}  // namespace testing_support
