#include "support/reference_recoding.h"

#include <array>
#include <cstddef>

namespace testing_support {
namespace {

constexpr std::size_t kLongestReplacement = 65535;

std::string_view ReplacementOfEntry(std::string_view entry) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '=') {
            start = i + 1;
            break;
        }
    }
    return entry.substr(start, kLongestReplacement);
}

}  // namespace

std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t next = 0;
    while (next < bytes.size() && bytes[next] != '\x1a') {
        std::string line;
        while (next < bytes.size()) {
            const char byte = bytes[next++];
            if (byte == '\n') {
                break;
            }
            if (byte != '\r') {
                line.push_back(byte);
            }
        }
        lines.push_back(line);
    }
    return lines;
}

bool WalkEveryEntry(const std::vector<std::string>& entries, unsigned char c, std::string& out) {
    bool matched = false;
    for (const std::string& entry : entries) {
        if (static_cast<unsigned char>(entry[0]) == c) {
            out.append(ReplacementOfEntry(entry));
            matched = true;
        }
    }
    return matched;
}

std::string ReferenceConversion(const std::vector<std::string>& entries, std::string_view line) {
    // The walk's answer for each byte value, so that long lines cost no more than short ones.
    std::array<std::string, 256> walked;
    for (int c = 0x21; c < 256; ++c) {
        if (!WalkEveryEntry(entries, static_cast<unsigned char>(c), walked[c])) {
            walked[c] = std::string(1, static_cast<char>(c));
        }
    }
    std::string converted;
    for (const char byte : line) {
        const auto c = static_cast<unsigned char>(byte);
        if (c <= ' ') {
            converted.push_back(byte);
        } else {
            converted += walked[c];
        }
    }
    return converted;
}

std::optional<std::string> ReferenceRecoding(std::string_view table, std::string_view input) {
    std::vector<std::string> entries;
    for (std::string& line : ReferenceLines(table)) {
        if (!line.empty()) {
            entries.push_back(std::move(line));
        }
    }
    if (entries.empty()) {
        return std::nullopt;
    }
    std::string output;
    for (const std::string& line : ReferenceLines(input)) {
        output += ReferenceConversion(entries, line) + "\r\n";
    }
    return output;
}

}  // namespace testing_support
