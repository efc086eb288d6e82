// The About box's arithmetic and naming rules, on every platform.
#include <gtest/gtest.h>

#include "about/gradient.h"
#include "about/translation_path.h"
#include "util/hex_text.h"

namespace {

TEST(AboutRules, GradientRowColour) {
    // Row, height, colour: the top row; t = 63 and 64, where green changes formula; row h, just
    // below the client area, t = 200; t = 199.07; halves of t go to the even neighbour: 12.5 to
    // 12, 37.5 to 38, 1.5 to 2.
    const std::tuple<int, int, about::RowColour> cases[] = {
        {0, 214, {20, 113, 220}},   {63, 200, {83, 191, 172}},  {64, 200, {84, 192, 172}},
        {214, 214, {220, 141, 70}}, {213, 214, {219, 141, 70}}, {1, 16, {32, 128, 211}},
        {3, 16, {58, 160, 191}},    {3, 400, {22, 115, 218}}};
    for (const auto& [row, height, colour] : cases) {
        EXPECT_EQ(about::GradientRowColour(row, height), colour) << row << " of " << height;
    }
}

TEST(AboutRules, TranslationPathFromTheFirstWholeEntryInHexadecimal) {
    const unsigned char value[] = {0x19, 0x04, 0xE3, 0x04, 0x09};
    // Bytes after a value shorter than an entry are not the value's: the fixed path then.
    const std::tuple<const void*, std::size_t, const char*> cases[] = {
        {value, 5, "041904E3\\"},         {value, 4, "041904E3\\"},   {value, 3, "080004b0\\"},
        {value, 0, "080004b0\\"},         {nullptr, 4, "080004b0\\"}, {"\0\0\0\0", 4, "00000000\\"},
        {"\1\0\xFF\xFF", 4, "0001FFFF\\"}};
    for (const auto& [data, length, path] : cases) {
        EXPECT_EQ(about::TranslationPath(about::FirstTranslationEntry(data, length)), path);
    }
    // Its hexadecimal digits, every one; padded, never cut, and none at all for 0 unpadded.
    EXPECT_EQ(util::HexText(0x01234567, 8) + util::HexText(0x89ABCDEF, 1), "0123456789ABCDEF");
    EXPECT_EQ(util::HexText(0x2A, -5) + "|" + util::HexText(0, 4) + "|" + util::HexText(0, 0) +
                  "|" + util::HexText(0, -1),
              "2A|0000||");
}

}  // namespace
