#include "recode/text_converter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace recode {
namespace {

unsigned char At(char byte) {
    return static_cast<unsigned char>(byte);
}

static_assert(std::endian::native == std::endian::little);

}  // namespace

TextConverter::TextConverter(const TranslationTable& table) {
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

std::string_view TextConverter::replacement(char byte) const {
    return std::string_view(replacementData(At(byte)), lengths_[At(byte)]);
}

const char* TextConverter::replacementData(unsigned char byte) const {
    return lengths_[byte] <= kShortLength ? words_[byte].bytes : longReplacements_[byte].data();
}

TextConverter::Converted TextConverter::convertSome(std::string_view text,
                                                    std::span<char> room) const {
    if (byteMap_) {
        const std::size_t length = std::min(text.size(), room.size());
        byteMap_->apply(text.data(), length, room.data());
        return {length, length};
    }
    const char* from = text.data();
    const char* const fromEnd = from + text.size();
    char* to = room.data();
    char* const toEnd = to + room.size();
    while (longestLength_ <= kShortLength) {
        const std::size_t stretch = uncheckedStretch(static_cast<std::size_t>(fromEnd - from),
                                                     static_cast<std::size_t>(toEnd - to));
        if (stretch == 0) {
            break;
        }
        to = convertInWords(std::string_view(from, stretch), to);
        from += stretch;
    }
    for (; from != fromEnd; ++from) {
        const unsigned char byte = At(*from);
        const std::size_t length = lengths_[byte];
        const std::size_t left = static_cast<std::size_t>(toEnd - to);
        if (length > left) {
            break;
        }
        if (length <= kShortLength && left >= kWordLength) {
            std::memcpy(to, &words_[byte], kWordLength);
        } else {
            std::memcpy(to, replacementData(byte), length);
        }
        to += length;
    }
    return {static_cast<std::size_t>(from - text.data()),
            static_cast<std::size_t>(to - room.data())};
}

// A stretch whose longest output the room holds goes without a check per byte: the whole rest
// when it fits, as it mostly does (checked without a division), else as much as surely fits,
// unless that is too little to be worth it.
std::size_t TextConverter::uncheckedStretch(std::size_t rest, std::size_t left) const {
    constexpr std::size_t kShortestStretch = 4;
    if (std::uint64_t{rest} * longestLength_ + kWordLength <= left) {
        return rest;
    }
    if (left < kWordLength + kShortestStretch * longestLength_) {
        return 0;
    }
    return (left - kWordLength) / longestLength_;
}

// Each byte stores a whole word and moves on by its replacement's length; the next byte's word
// overwrites what lay beyond. The length is taken from the word as loaded, its top byte on these
// little-endian machines, rather than loaded once more. Gives the end of the output.
char* TextConverter::convertInWords(std::string_view text, char* to) const {
#pragma GCC unroll 4
    for (const char byte : text) {
        std::uint64_t word;
        std::memcpy(&word, &words_[At(byte)], kWordLength);
        std::memcpy(to, &word, kWordLength);
        to += word >> (8 * kShortLength);
    }
    return to;
}

}  // namespace recode
