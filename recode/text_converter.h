// Converts text through a translation table, compiled once per pass from the table's lookup: a
// byte map where every byte gives one byte, words by byte for other tables of bytes, and for a
// table of UTF-8 characters the same words behind a lookup by character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recode/byte_map.h"
#include "recode/translation_table.h"

namespace recode {

class TextConverter {
  public:
    explicit TextConverter(const TranslationTable& table);

    // The unit that a text begins with, a byte or, with a table of characters, a character or a
    // byte that begins none, and what it becomes: bytes at or below the blank are copied, every
    // other unit gives the replacements of its entries, or itself when it has none (the view may
    // be into the text). Length 0 when the text ends inside a character that may go on.
    struct Unit {
        std::size_t length;
        std::string_view replacement;
    };
    Unit firstUnit(std::string_view text) const;

    // Converts text from its start into `room` for as long as each unit's replacement fits there
    // whole, up to a character that the text's end cuts. CR and LF are never replaced, so any
    // text may be converted this way, whole lines or not, and a unit that did not fit may follow
    // through firstUnit() in pieces.
    struct Converted {
        std::size_t taken;  // bytes of the text
        std::size_t made;   // bytes of the room
    };
    Converted convertSome(std::string_view text, std::span<char> room) const;

  private:
    // Short replacements are copied as a whole word with their length in its last byte, of which
    // only `length` bytes count; longer ones come from longReplacements_.
    static constexpr std::size_t kWordLength = 8;
    static constexpr std::size_t kShortLength = kWordLength - 1;
    struct Word {
        char bytes[kShortLength];
        unsigned char length;
    };

    std::size_t uncheckedStretch(std::size_t rest, std::size_t left) const;
    char* convertInWords(std::string_view text, char* to) const;
    const char* replacementData(unsigned char byte) const;
    std::string_view replacement(unsigned char byte) const;

    void compileCharacters(const TranslationTable::JoinedByCharacter& joined);
    Converted convertCharacters(std::string_view text, std::span<char> room) const;
    void convertStretch(const char*& from, const char* fromEnd, char*& to, const char* toEnd) const;
    // The place of a character's replacement in characterWords_, 0 when it has no entries.
    std::uint32_t slotOf(char32_t codePoint) const;
    std::string_view characterReplacement(std::uint32_t slot) const;

    static_assert(sizeof(Word) == kWordLength);
    std::array<Word, 256> words_{};
    std::array<std::size_t, 256> lengths_{};  // of every replacement, short or long
    std::array<std::string, 256> longReplacements_;
    std::size_t longestLength_ = 0;
    std::optional<ByteMap> byteMap_;  // for a table of single-byte replacements

    // A table of characters: a character of two bytes is found by its lead byte and second byte
    // at once, as the two bytes of a 16-bit load (whether they are one, and where its replacement
    // is); the longer ones in two levels, code points in pages of 64 by the bits above, page 0 for
    // those without any entry. A replacement is a word as above, or one that says to look in
    // characterLongs_.
    static constexpr char32_t kFirstOfThreeBytes = 0x800;
    static constexpr std::uint16_t kNotAPair = 0;
    static constexpr std::uint16_t kPairCopied = 1;  // the place of a replacement follows
    static constexpr unsigned kPageBits = 6;
    static constexpr std::size_t kPageSize = std::size_t{1} << kPageBits;
    static constexpr unsigned char kLongWord = 0xFF;
    using Page = std::array<std::uint32_t, kPageSize>;
    bool characters_ = false;
    bool asciiCopied_ = false;  // no entry of an ASCII character applies: runs are copied whole
    std::vector<std::uint16_t> pairs_;
    std::vector<std::uint16_t> pageOf_;
    std::vector<Page> pages_;
    std::vector<Word> characterWords_;
    std::vector<std::string> characterLongs_;
};

}  // namespace recode
