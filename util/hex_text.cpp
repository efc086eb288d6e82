#include "util/hex_text.h"

#include <algorithm>

namespace util {

std::string HexText(std::uint32_t value, std::int32_t minDigits) {
    std::string text;
    for (; value != 0; value >>= 4) {
        const auto nibble = static_cast<char>(value & 0xF);
        text.push_back(nibble < 10 ? static_cast<char>('0' + nibble)
                                   : static_cast<char>('A' + nibble - 10));
    }
    if (minDigits > 0 && text.size() < static_cast<std::size_t>(minDigits)) {
        text.append(static_cast<std::size_t>(minDigits) - text.size(), '0');
    }
    // Built lowest digit first.
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace util
