#include "recode/text_converter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "recode/utf8.h"

namespace recode {
namespace {

unsigned char At(char byte) {
    return static_cast<unsigned char>(byte);
}

static_assert(std::endian::native == std::endian::little);

constexpr char32_t kCodePoints = 0x110000;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

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
    if (table.kind() == TableKind::Utf8) {
        compileCharacters(table.joinedByCharacter());
        return;
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

std::string_view TextConverter::replacement(unsigned char byte) const {
    return std::string_view(replacementData(byte), lengths_[byte]);
}

// The bytes that begin no character keep the words of bytes without entries: themselves.
void TextConverter::compileCharacters(const TranslationTable::JoinedByCharacter& joined) {
    characters_ = true;
    asciiCopied_ = true;
    for (int b = kBlank + 1; b < 0x80; ++b) {
        asciiCopied_ = asciiCopied_ && lengths_[b] == 1 && words_[b].bytes[0] == b;
    }
    pageOf_.assign(kCodePoints >> kPageBits, 0);
    pages_.assign(1, Page{});
    characterWords_.assign(1, Word{});
    characterLongs_.assign(1, std::string());
    for (const auto& [character, replacement] : joined) {
        const char32_t codePoint = ReadUtf8(character).codePoint;
        std::uint16_t& page = pageOf_[codePoint >> kPageBits];
        if (page == 0) {
            page = static_cast<std::uint16_t>(pages_.size());
            pages_.emplace_back();
        }
        pages_[page][codePoint & (kPageSize - 1)] =
            static_cast<std::uint32_t>(characterWords_.size());
        Word word{};
        if (replacement.size() <= kShortLength) {
            std::memcpy(word.bytes, replacement.data(), replacement.size());
            word.length = static_cast<unsigned char>(replacement.size());
            characterLongs_.emplace_back();
        } else {
            word.length = kLongWord;
            characterLongs_.push_back(replacement);
        }
        characterWords_.push_back(word);
    }
}

std::string_view TextConverter::characterReplacement(std::uint32_t slot) const {
    const Word& word = characterWords_[slot];
    return word.length == kLongWord ? std::string_view(characterLongs_[slot])
                                    : std::string_view(word.bytes, word.length);
}

TextConverter::Unit TextConverter::firstUnit(std::string_view text) const {
    if (!characters_) {
        return {1, replacement(At(text.front()))};
    }
    const Utf8Unit unit = ReadUtf8(text);
    if (unit.form == Utf8Form::Cut) {
        return {0, {}};
    }
    if (unit.length == 1) {
        return {1, replacement(At(text.front()))};
    }
    const std::uint32_t slot = slotOf(unit.codePoint);
    return {unit.length, slot == 0 ? text.substr(0, unit.length) : characterReplacement(slot)};
}

const char* TextConverter::replacementData(unsigned char byte) const {
    return lengths_[byte] <= kShortLength ? words_[byte].bytes : longReplacements_[byte].data();
}

TextConverter::Converted TextConverter::convertSome(std::string_view text,
                                                    std::span<char> room) const {
    if (characters_) {
        return convertCharacters(text, room);
    }
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

// One lookup a character. Where eight bytes of text and of room are left, a run of ASCII that no
// entry changes is copied eight bytes at a time, and a replacement as a whole word, as in
// convertInWords; a character without entries is copied as it stands. Near either end, each unit
// is copied exactly.
TextConverter::Converted TextConverter::convertCharacters(std::string_view text,
                                                          std::span<char> room) const {
    const char* from = text.data();
    const char* const fromEnd = from + text.size();
    char* to = room.data();
    char* const toEnd = to + room.size();
    while (from != fromEnd) {
        const auto left = static_cast<std::size_t>(toEnd - to);
        const bool roomy =
            fromEnd - from >= static_cast<std::ptrdiff_t>(kWordLength) && left >= kWordLength;
        if (asciiCopied_ && roomy) {
            std::uint64_t word;
            std::memcpy(&word, from, kWordLength);
            if (const std::size_t ascii = std::countr_zero(word & kHighBits) / 8; ascii != 0) {
                std::memcpy(to, &word, kWordLength);
                from += ascii;
                to += ascii;
                continue;
            }
        }
        const Utf8Unit unit = ReadUtf8(from, fromEnd);
        if (unit.form == Utf8Form::Cut) {
            break;
        }
        if (unit.length == 1) {
            const unsigned char byte = At(*from);
            const std::size_t length = lengths_[byte];
            if (length > left) {
                break;
            }
            if (length <= kShortLength && roomy) {
                std::memcpy(to, &words_[byte], kWordLength);
            } else {
                std::memcpy(to, replacementData(byte), length);
            }
            to += length;
            ++from;
            continue;
        }
        const std::uint32_t slot = slotOf(unit.codePoint);
        const Word& word = characterWords_[slot];
        if (slot != 0 && word.length != kLongWord && roomy) {
            std::memcpy(to, &word, kWordLength);
            to += word.length;
        } else {
            const std::string_view replacement =
                slot == 0 ? std::string_view(from, unit.length) : characterReplacement(slot);
            if (replacement.size() > left) {
                break;
            }
            std::memcpy(to, replacement.data(), replacement.size());
            to += replacement.size();
        }
        from += unit.length;
    }
    return {static_cast<std::size_t>(from - text.data()),
            static_cast<std::size_t>(to - room.data())};
}

}  // namespace recode
