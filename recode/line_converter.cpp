#include "recode/line_converter.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/out_of_memory.h"

namespace recode {
namespace {

// Sizes are counted up to half the address space; no output that large could be held.
constexpr std::size_t kLargestOutput = std::numeric_limits<std::size_t>::max() / 2;

unsigned char At(char byte) {
    return static_cast<unsigned char>(byte);
}

}  // namespace

LineConverter::LineConverter(const TranslationTable& table) {
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        std::string replacement;
        if (c <= kBlank || !AppendReplacements(table, c, replacement)) {
            replacement.assign(1, static_cast<char>(c));
        }
        lengths_[c] = replacement.size();
        longestLength_ = std::max(longestLength_, replacement.size());
        oneToOne_ = oneToOne_ && replacement.size() == 1;
        if (replacement.size() <= kShortLength) {
            std::memcpy(words_[c].bytes, replacement.data(), replacement.size());
            words_[c].length = static_cast<unsigned char>(replacement.size());
        } else {
            longReplacements_[c] = std::move(replacement);
        }
    }
}

std::string_view LineConverter::convert(std::string_view line) {
    if (oneToOne_) {
        return convertOneToOne(line);
    }
    if (longestLength_ <= kShortLength && line.size() <= kUnmeasuredLineLength) {
        return convertInWords(line, line.size() * longestLength_);
    }
    return convertMeasured(line);
}

// A table of single-byte replacements is a byte map, as tr has.
std::string_view LineConverter::convertOneToOne(std::string_view line) {
    char* to = outputRoom(line.size());
#pragma GCC unroll 8
    for (const char byte : line) {
        *to++ = words_[At(byte)].bytes[0];
    }
    return std::string_view(output_.data(), line.size());
}

// Each byte stores a whole word and moves on by its replacement's length; the next byte's word
// overwrites what lay beyond.
std::string_view LineConverter::convertInWords(std::string_view line, std::size_t room) {
    char* const start = outputRoom(room + kWordLength);
    char* to = start;
#pragma GCC unroll 4
    for (const char byte : line) {
        const Word& word = words_[At(byte)];
        std::memcpy(to, &word, kWordLength);
        to += word.length;
    }
    return std::string_view(start, static_cast<std::size_t>(to - start));
}

std::string_view LineConverter::convertMeasured(std::string_view line) {
    const std::size_t length = convertedLength(line);
    if (longestLength_ <= kShortLength) {
        return convertInWords(line, length);
    }
    char* const start = outputRoom(length + kWordLength);
    char* to = start;
    for (const char byte : line) {
        const std::size_t replacementLength = lengths_[At(byte)];
        if (replacementLength > kShortLength) {
            std::memcpy(to, longReplacements_[At(byte)].data(), replacementLength);
        } else {
            std::memcpy(to, &words_[At(byte)], kWordLength);
        }
        to += replacementLength;
    }
    return std::string_view(start, length);
}

std::size_t LineConverter::convertedLength(std::string_view line) const {
    std::size_t length = 0;
    // Only a line that long, with replacements that long, could count past what memory holds.
    if (line.size() > kLargestOutput / longestLength_) {
        for (const char byte : line) {
            const std::size_t replacementLength = lengths_[At(byte)];
            if (replacementLength > kLargestOutput - length) {
                platform::EndProcessOutOfMemory();
            }
            length += replacementLength;
        }
        return length;
    }
    for (const char byte : line) {
        length += lengths_[At(byte)];
    }
    return length;
}

// The output buffer only grows, so converting a line costs no allocation once it is large enough.
char* LineConverter::outputRoom(std::size_t length) {
    if (output_.size() < length) {
        output_.resize(length);
    }
    return output_.data();
}

}  // namespace recode
