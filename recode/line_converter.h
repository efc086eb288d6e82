// Converts lines through a translation table, compiled once per pass from the table's lookup.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "recode/translation_table.h"

namespace recode {

class LineConverter {
  public:
    explicit LineConverter(const TranslationTable& table);

    // The line converted byte by byte: bytes at or below the blank are copied, every other byte
    // gives the replacements of its entries, or itself when it has none. The view lasts until
    // the next call.
    std::string_view convert(std::string_view line);

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

    std::string_view convertOneToOne(std::string_view line);
    std::string_view convertInWords(std::string_view line, std::size_t room);
    std::string_view convertMeasured(std::string_view line);
    std::size_t convertedLength(std::string_view line) const;
    char* outputRoom(std::size_t length);

    static_assert(sizeof(Word) == kWordLength);
    std::array<Word, 256> words_{};
    std::array<std::size_t, 256> lengths_{};  // of every replacement, short or long
    std::array<std::string, 256> longReplacements_;
    std::size_t longestLength_ = 0;
    bool oneToOne_ = true;
    std::string output_;
};

}  // namespace recode
