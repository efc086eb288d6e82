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

    // Appends to `out` the line converted byte by byte: bytes at or below the blank are copied,
    // every other byte gives the replacements of its entries, or itself when it has none.
    void convert(std::string_view line, std::string& out) const;

private:
    // Most replacements are a few bytes: they are copied as one fixed-size word, of which only
    // `length` bytes count; longer ones come from `longReplacements_`.
    static constexpr std::size_t kShortLength = 8;

    struct Substitute {
        char bytes[kShortLength];
        std::size_t length;
    };

    void convertOneToOne(std::string_view line, std::string& out) const;
    void convertGeneral(std::string_view line, std::string& out) const;
    std::size_t convertedSize(std::string_view line) const;

    std::array<Substitute, 256> substitutes_{};
    std::array<std::string, 256> longReplacements_;
    // Lines up to this length cannot overflow the size count, whatever bytes they hold.
    std::size_t longestSafeLine_ = 0;
    bool oneToOne_ = true;
    bool anyLong_ = false;
};

}  // namespace recode
