// The recoding rules in their plainest form, written from the rules and not from the engine, as
// oracles for the engine's faster code: a byte-at-a-time line splitter and a walk over every
// table entry. A disagreement aborts, which libFuzzer records as a finding and the corpus replay
// as a failed test.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

inline void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// LF or CR LF ends a line, any other CR is dropped, a Ctrl-Z where a line begins ends the input.
inline std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t next = 0;
    while (next < bytes.size() && bytes[next] != '\x1a') {
        std::string line;
        while (next < bytes.size() && bytes[next] != '\n') {
            if (bytes[next] != '\r') {
                line.push_back(bytes[next]);
            }
            ++next;
        }
        ++next;
        lines.push_back(line);
    }
    return lines;
}

// The table's non-empty lines.
inline std::vector<std::string> Entries(std::string_view table) {
    std::vector<std::string> entries;
    for (std::string& line : ReferenceLines(table)) {
        if (!line.empty()) {
            entries.push_back(std::move(line));
        }
    }
    return entries;
}

// The replacements of every entry keyed by c, one after another in table order (after the first
// "=", or the whole line without one, at most 65535 bytes); false when no entry has that key.
inline bool WalkEveryEntry(const std::vector<std::string>& entries, unsigned char c,
                           std::string& out) {
    bool matched = false;
    for (const std::string& entry : entries) {
        if (static_cast<unsigned char>(entry[0]) == c) {
            const std::size_t equals = entry.find('=');
            out += entry.substr(equals == std::string::npos ? 0 : equals + 1, 65535);
            matched = true;
        }
    }
    return matched;
}

// Bytes at or below the blank are copied; the others walk every entry, or are copied without one.
inline std::string ReferenceConversion(const std::vector<std::string>& entries,
                                       std::string_view line) {
    std::array<std::string, 256> walked;  // per byte value, so that long lines cost no more
    for (int c = 0; c < 256; ++c) {
        if (c <= ' ' || !WalkEveryEntry(entries, static_cast<unsigned char>(c), walked[c])) {
            walked[c] = std::string(1, static_cast<char>(c));
        }
    }
    std::string converted;
    for (const char byte : line) {
        converted += walked[static_cast<unsigned char>(byte)];
    }
    return converted;
}

// The output file of a pass, or nothing when the table has no entries.
inline std::optional<std::string> ReferenceRecoding(std::string_view table,
                                                    std::string_view input) {
    const std::vector<std::string> entries = Entries(table);
    if (entries.empty()) {
        return std::nullopt;
    }
    std::string output;
    for (const std::string& line : ReferenceLines(input)) {
        output += ReferenceConversion(entries, line) + "\r\n";
    }
    return output;
}

}  // namespace fuzzing
