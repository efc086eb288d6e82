// Converts text through a translation table, compiled once per pass from the table's lookup.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "recode/byte_map.h"
#include "recode/translation_table.h"

namespace recode {

class TextConverter {
  public:
    explicit TextConverter(const TranslationTable& table);

    // What one byte becomes: bytes at or below the blank are copied, every other byte gives the
    // replacements of its entries, or itself when it has none.
    std::string_view replacement(char byte) const;

    // Converts text from its start into `room` for as long as each byte's replacement fits there
    // whole. CR and LF are never replaced, so any text may be converted this way, whole lines or
    // not, and a byte that did not fit may follow through replacement() in pieces.
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

    static_assert(sizeof(Word) == kWordLength);
    std::array<Word, 256> words_{};
    std::array<std::size_t, 256> lengths_{};  // of every replacement, short or long
    std::array<std::string, 256> longReplacements_;
    std::size_t longestLength_ = 0;
    std::optional<ByteMap> byteMap_;  // for a table of single-byte replacements
};

}  // namespace recode
