// The recoding rules in their plainest form, written from the rules and not from the engine, as
// oracles for the engine's faster code: a byte-at-a-time line splitter and a walk over every
// table entry. A disagreement aborts, which libFuzzer records as a finding and the corpus replay
// as a failed test.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
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

// The lines of a text and what their rules dropped (as the reader's dropped()).
struct ReferenceReading {
    std::vector<std::string> lines;
    std::uint64_t loneCrs = 0;
    bool afterEndMark = false;
};

// LF or CR LF ends a line, any other CR is dropped (or ends the line, in classic Mac OS text), a
// Ctrl-Z where a line begins ends the input.
inline ReferenceReading ReferenceRead(std::string_view bytes, bool loneCrEndsLine) {
    ReferenceReading reading;
    std::size_t next = 0;
    while (next < bytes.size() && bytes[next] != '\x1a') {
        std::string line;
        while (next < bytes.size()) {
            const char byte = bytes[next++];
            if (byte == '\n') {
                break;
            }
            if (byte == '\r' && next < bytes.size() && bytes[next] == '\n') {
                ++next;
                break;
            }
            if (byte == '\r' && loneCrEndsLine) {
                break;
            }
            if (byte == '\r') {
                ++reading.loneCrs;
            } else {
                line.push_back(byte);
            }
        }
        reading.lines.push_back(line);
    }
    reading.afterEndMark = next + 1 < bytes.size();
    return reading;
}

inline std::vector<std::string> ReferenceLines(std::string_view bytes) {
    return ReferenceRead(bytes, false).lines;
}

// The output file of a pass, or nothing when the table has no entries (non-empty lines). A byte
// above the blank gives the replacements of the entries keyed by it, in table order (what follows
// the first "=", or the whole line without one, at most 65535 bytes), or itself without any.
inline std::optional<std::string> ReferenceRecoding(std::string_view table,
                                                    std::string_view input) {
    std::array<std::string, 256> replacements;
    std::bitset<256> keyed;
    for (const std::string& entry : ReferenceLines(table)) {
        if (!entry.empty()) {
            const std::size_t equals = entry.find('=');
            replacements[static_cast<unsigned char>(entry[0])] +=
                entry.substr(equals == std::string::npos ? 0 : equals + 1, 65535);
            keyed.set(static_cast<unsigned char>(entry[0]));
        }
    }
    if (keyed.none()) {
        return std::nullopt;
    }
    std::string output;
    for (const std::string& line : ReferenceLines(input)) {
        for (const char byte : line) {
            const auto c = static_cast<unsigned char>(byte);
            output += c > ' ' && keyed[c] ? replacements[c] : std::string(1, byte);
        }
        output += "\r\n";
    }
    return output;
}

}  // namespace fuzzing
