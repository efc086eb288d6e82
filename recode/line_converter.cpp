#include "recode/line_converter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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

static_assert(std::endian::native == std::endian::little);

}  // namespace

LineConverter::LineConverter(const TranslationTable& table) {
    bool oneToOne = true;
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        std::string replacement;
        if (c <= kBlank || !AppendReplacements(table, c, replacement)) {
            replacement.assign(1, static_cast<char>(c));
        }
        lengths_[c] = replacement.size();
        longestLength_ = std::max(longestLength_, replacement.size());
        oneToOne = oneToOne && replacement.size() == 1;
        if (replacement.size() <= kShortLength) {
            std::memcpy(words_[c].bytes, replacement.data(), replacement.size());
            words_[c].length = static_cast<unsigned char>(replacement.size());
        } else {
            longReplacements_[c] = std::move(replacement);
        }
    }
    // A table of single-byte replacements is a byte map, as tr has.
    if (oneToOne) {
        std::array<char, 256> bytes;
        for (int b = 0; b < 256; ++b) {
            bytes[b] = words_[b].bytes[0];
        }
        byteMap_.emplace(bytes);
    }
}

std::string_view LineConverter::convert(std::string_view line) {
    if (byteMap_ || (longestLength_ <= kShortLength && line.size() <= kUnmeasuredLineLength)) {
        char* const start = outputRoom(line.size() * longestLength_ + kWordLength);
        return std::string_view(start, convertInto(line, start));
    }
    return convertMeasured(line);
}

std::size_t LineConverter::bytesFitting(std::size_t room) const {
    if (byteMap_) {
        return room;
    }
    if (longestLength_ > kShortLength || room < kWordLength) {
        return 0;
    }
    return (room - kWordLength) / longestLength_;
}

std::size_t LineConverter::convertInto(std::string_view text, char* to) const {
    if (byteMap_) {
        byteMap_->apply(text.data(), text.size(), to);
        return text.size();
    }
    return static_cast<std::size_t>(convertInWords(text, to) - to);
}

// Each byte stores a whole word and moves on by its replacement's length; the next byte's word
// overwrites what lay beyond. The length is taken from the word as loaded, its top byte on these
// little-endian machines, rather than loaded once more. Gives the end of the output.
char* LineConverter::convertInWords(std::string_view line, char* to) const {
#pragma GCC unroll 4
    for (const char byte : line) {
        std::uint64_t word;
        std::memcpy(&word, &words_[At(byte)], kWordLength);
        std::memcpy(to, &word, kWordLength);
        to += word >> (8 * kShortLength);
    }
    return to;
}

std::string_view LineConverter::convertMeasured(std::string_view line) {
    const std::size_t length = convertedLength(line);
    char* const start = outputRoom(length + kWordLength);
    if (longestLength_ <= kShortLength) {
        convertInWords(line, start);
        return std::string_view(start, length);
    }
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
