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

// A stretch whose longest output the room holds goes without a check per byte: the whole rest
// when it fits, as it mostly does (checked without a division), else as much as surely fits,
// unless that is too little to be worth it.
std::size_t UncheckedStretch(std::size_t rest, std::size_t left, std::size_t longestLength) {
    constexpr std::size_t kWordLength = 8;
    constexpr std::size_t kShortestStretch = 4;
    if (std::uint64_t{rest} * longestLength + kWordLength <= left) {
        return rest;
    }
    if (left < kWordLength + kShortestStretch * longestLength) {
        return 0;
    }
    return (left - kWordLength) / longestLength;
}

// The two bytes of a character below U+0800, as a little-endian load finds them.
std::size_t PairOf(char32_t codePoint) {
    return (0xC0 | codePoint >> 6) | (0x80 | (codePoint & 0x3F)) << 8;
}
constexpr std::uint64_t kHighBits = 0x8080808080808080;
constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;  // a run of seven at most

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
    pairs_.assign(std::size_t{1} << 16, kNotAPair);
    for (unsigned lead = 0xC2; lead < 0xE0; ++lead) {
        for (unsigned second = 0x80; second < 0xC0; ++second) {
            pairs_[lead | second << 8] = kPairCopied;
        }
    }
    pageOf_.assign(kCodePoints >> kPageBits, 0);
    pages_.assign(1, Page{});
    characterWords_.assign(1, Word{});
    characterLongs_.assign(1, std::string());
    // The keys come in the order of their bytes, those of two bytes first: their places are
    // below 2048, and fit the pairs' 16 bits.
    for (const auto& [character, replacement] : joined) {
        const char32_t codePoint = ReadUtf8(character).codePoint;
        const auto slot = static_cast<std::uint32_t>(characterWords_.size());
        if (codePoint < kFirstOfThreeBytes) {
            pairs_[PairOf(codePoint)] = static_cast<std::uint16_t>(kPairCopied + slot);
        } else {
            std::uint16_t& page = pageOf_[codePoint >> kPageBits];
            if (page == 0) {
                page = static_cast<std::uint16_t>(pages_.size());
                pages_.emplace_back();
            }
            pages_[page][codePoint & (kPageSize - 1)] = slot;
        }
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

std::uint32_t TextConverter::slotOf(char32_t codePoint) const {
    if (codePoint < kFirstOfThreeBytes) {
        return pairs_[PairOf(codePoint)] - kPairCopied;
    }
    return pages_[pageOf_[codePoint >> kPageBits]][codePoint & (kPageSize - 1)];
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

std::size_t TextConverter::uncheckedStretch(std::size_t rest, std::size_t left) const {
    return UncheckedStretch(rest, left, longestLength_);
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

// A unit at a time, each checked against the ends of text and room, between stretches that need
// no such checks.
TextConverter::Converted TextConverter::convertCharacters(std::string_view text,
                                                          std::span<char> room) const {
    const char* from = text.data();
    const char* const fromEnd = from + text.size();
    char* to = room.data();
    char* const toEnd = to + room.size();
    while (from != fromEnd) {
        convertStretch(from, fromEnd, to, toEnd);
        if (from == fromEnd) {
            break;
        }
        const Unit unit =
            firstUnit(std::string_view(from, static_cast<std::size_t>(fromEnd - from)));
        if (unit.length == 0 || unit.replacement.size() > static_cast<std::size_t>(toEnd - to)) {
            break;
        }
        std::memcpy(to, unit.replacement.data(), unit.replacement.size());
        to += unit.replacement.size();
        from += unit.length;
    }
    return {static_cast<std::size_t>(from - text.data()),
            static_cast<std::size_t>(to - room.data())};
}

// One lookup a character, for as long as the next eight bytes of text can be loaded as a word and
// the room holds a short replacement for every byte. A run of ASCII that no entry changes is
// copied from the word, as is a character of two bytes without entries, with their length put in
// the word's top byte; a short replacement is stored as a whole word, as in convertInWords. Stops
// before any other unit: an ASCII byte or a character with a long replacement, a character of
// three or four bytes, a byte that begins none.
void TextConverter::convertStretch(const char*& from, const char* fromEnd, char*& to,
                                   const char* toEnd) const {
    const auto rest = static_cast<std::size_t>(fromEnd - from);
    if (rest < kWordLength) {
        return;
    }
    const char* const stretchEnd =
        from + std::min(rest - (kWordLength - 1),
                        UncheckedStretch(rest, static_cast<std::size_t>(toEnd - to), kShortLength));
    // Held here, since every store through `to` might otherwise have changed them.
    const bool asciiCopied = asciiCopied_;
    const std::uint16_t* const pairs = pairs_.data();
    const Word* const characterWords = characterWords_.data();
    constexpr unsigned kLengthShift = 8 * kShortLength;
    constexpr std::uint64_t kTextBytes = ~std::uint64_t{0} >> 8;
    while (from < stretchEnd) {
        std::uint64_t bytes;
        std::memcpy(&bytes, from, kWordLength);
        const auto lead = static_cast<unsigned char>(bytes);
        std::uint64_t word = bytes;
        std::size_t taken = 2;
        if (lead < 0x80 && asciiCopied) {
            taken = static_cast<std::size_t>(std::countr_zero((bytes & kHighBits) | kTopBit) / 8);
            word = (bytes & kTextBytes) | std::uint64_t{taken} << kLengthShift;
        } else if (lead < 0x80) {
            if (lengths_[lead] > kShortLength) {
                return;
            }
            std::memcpy(&word, &words_[lead], kWordLength);
            taken = 1;
        } else if (const std::uint16_t pair = pairs[bytes & 0xFFFF]; pair == kNotAPair) {
            return;
        } else if (pair == kPairCopied) {
            word = (bytes & kTextBytes) | std::uint64_t{2} << kLengthShift;
        } else {
            std::memcpy(&word, &characterWords[pair - kPairCopied], kWordLength);
            if (word >> kLengthShift == kLongWord) {
                return;
            }
        }
        std::memcpy(to, &word, kWordLength);
        to += word >> kLengthShift;
        from += taken;
    }
}

}  // namespace recode
