// The recoding rules in their plainest form, written from the rules and not from the engine, as
// oracles for the engine's faster code: a byte-at-a-time line splitter and a walk over every
// table entry. A disagreement aborts, which libFuzzer records as a finding and the corpus replay
// as a failed test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The length of the UTF-8 character that begins at bytes[at], 0 when none does: decoded first and
// judged by its value, so that overlong forms, surrogates and code points past U+10FFFF are
// caught by what they stand for.
inline std::size_t ReferenceCharacterLength(std::string_view bytes, std::size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (first < 0x80) {
        return 1;
    } else if ((first & 0xE0) == 0xC0) {
        length = 2, codePoint = first & 0x1F;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, codePoint = first & 0x0F;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, codePoint = first & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = codePoint >= kLeast[length] && codePoint <= 0x10FFFF &&
                       (codePoint < 0xD800 || codePoint > 0xDFFF);
    return valid ? length : 0;
}

// The output file of a pass, or nothing when the table has no entries (non-empty lines). A byte
// above the blank gives the replacements of the entries keyed by it, in table order (what follows
// the first "=", or the whole line without one, at most 65535 bytes), or itself without any. A
// table whose first line begins with a UTF-8 byte-order mark is keyed
// by characters instead: a line's first character is its key, the input is taken a character at
// a time, and a byte that begins none is copied.
inline std::optional<std::string> ReferenceRecoding(std::string_view table,
                                                    std::string_view input) {
    std::vector<std::string> entries = ReferenceLines(table);
    bool utf8 = false;
    if (!entries.empty() && entries[0].starts_with("\xEF\xBB\xBF")) {
        entries[0].erase(0, 3);
        utf8 = true;
    }
    std::vector<std::pair<std::string, std::string>> keyed;  // in table order
    bool any = false;
    for (const std::string& entry : entries) {
        if (!entry.empty()) {
            any = true;
            const std::size_t equals = entry.find('=');
            const std::size_t keyLength = utf8 ? ReferenceCharacterLength(entry, 0) : 1;
            if (keyLength != 0 && static_cast<unsigned char>(entry[0]) > ' ') {
                keyed.emplace_back(
                    entry.substr(0, keyLength),
                    entry.substr(equals == std::string::npos ? 0 : equals + 1, 65535));
            }
        }
    }
    if (!any) {
        return std::nullopt;
    }
    std::string output;
    for (const std::string& line : ReferenceLines(input)) {
        for (std::size_t at = 0; at < line.size();) {
            const std::size_t length =
                utf8 ? std::max<std::size_t>(ReferenceCharacterLength(line, at), 1) : 1;
            const std::string unit = line.substr(at, length);
            std::string replaced;
            bool matched = false;
            for (const auto& [key, replacement] : keyed) {
                if (key == unit) {
                    replaced += replacement;
                    matched = true;
                }
            }
            output += matched ? replaced : unit;
            at += length;
        }
        output += "\r\n";
    }
    return output;
}

}  // namespace fuzzing
