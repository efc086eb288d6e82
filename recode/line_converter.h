// Converts lines through a translation table, compiled once per pass from the table's lookup.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "recode/byte_map.h"
#include "recode/translation_table.h"

namespace recode {

class LineConverter {
  public:
    explicit LineConverter(const TranslationTable& table);

    // The line converted byte by byte: bytes at or below the blank are copied, every other byte
    // gives the replacements of its entries, or itself when it has none. The view lasts until
    // the next call.
    std::string_view convert(std::string_view line);

    // The same straight into the caller's memory: convertInto converts text of at most
    // bytesFitting(room) bytes into `room` bytes (it may touch more of them than it makes) and
    // gives the output's length. None fit when the table has replacements too long for words.
    // CR and LF are never replaced, so any text may be converted this way, whole lines or not.
    std::size_t bytesFitting(std::size_t room) const;
    std::size_t convertInto(std::string_view text, char* to) const;

  private:
    // Short replacements are copied as a whole word with their length in its last byte, of which
    // only `length` bytes count; longer ones come from longReplacements_.
    static constexpr std::size_t kWordLength = 8;
    static constexpr std::size_t kShortLength = kWordLength - 1;
    struct Word {
        char bytes[kShortLength];
        unsigned char length;
    };
    // Lines up to this length are converted into room for the longest replacement of every
    // byte; longer ones are measured first, so that memory follows the output, not a guess.
    static constexpr std::size_t kUnmeasuredLineLength = 64 * 1024;

    char* convertInWords(std::string_view line, char* to) const;
    std::string_view convertMeasured(std::string_view line);
    std::size_t convertedLength(std::string_view line) const;
    char* outputRoom(std::size_t length);

    static_assert(sizeof(Word) == kWordLength);
    std::array<Word, 256> words_{};
    std::array<std::size_t, 256> lengths_{};  // of every replacement, short or long
    std::array<std::string, 256> longReplacements_;
    std::size_t longestLength_ = 0;
    std::optional<ByteMap> byteMap_;  // for a table of single-byte replacements
    std::string output_;
};

}  // namespace recode
