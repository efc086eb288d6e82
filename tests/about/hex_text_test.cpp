#include "util/hex_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct HexCase {
    std::uint32_t value;
    std::int32_t minDigits;
    std::string text;
};

TEST(HexText, DigitsPaddingAndNoCut) {
    const HexCase cases[] = {
        {0x0419, 4, "0419"},
        {0x04E3, 4, "04E3"},
        {0x10000, 4, "10000"},
        {4294967295u, 4, "FFFFFFFF"},
        {0x80000000u, 0, "80000000"},
        {0, 4, "0000"},
        {0, 1, "0"},
        {0, 0, ""},
        {0, -1, ""},
        {0, INT32_MIN, ""},
        {0x2A, 0, "2A"},
        {0x2A, -5, "2A"},
        {0xABCDEF, 2, "ABCDEF"},
        {0x9, 8, "00000009"},
        {0x1234, 4, "1234"},
    };
    for (const HexCase& c : cases) {
        EXPECT_EQ(util::HexText(c.value, c.minDigits), c.text)
            << "value " << c.value << ", at least " << c.minDigits << " digits";
    }
}

TEST(HexText, EveryNibbleHasItsDigit) {
    const std::string digits = "0123456789ABCDEF";
    for (std::uint32_t nibble = 0; nibble < 16; ++nibble) {
        EXPECT_EQ(util::HexText(nibble, 1), digits.substr(nibble, 1));
        // The same nibble in the top place, where a signed shift would spread it.
        EXPECT_EQ(util::HexText(nibble << 28, 8), digits.substr(nibble, 1) + "0000000");
    }
}

}  // namespace
