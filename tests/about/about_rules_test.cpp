// The About box's arithmetic and naming rules, on every platform.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "about/gradient.h"
#include "about/translation_path.h"
#include "util/hex_text.h"

namespace {

TEST(AboutRules, GradientRowColour) {
    // Row, height, colour: the top row; t = 63 and 64, where green changes formula; row h,
    // just below the client area, t = 200; t = 199.07; halves of t going to the even
    // neighbour, 12.5 to 12, 37.5 to 38, 1.5 to 2.
    const std::tuple<int, int, about::RowColour> cases[] = {
        {0, 214, {20, 113, 220}},   {63, 200, {83, 191, 172}},  {64, 200, {84, 192, 172}},
        {214, 214, {220, 141, 70}}, {213, 214, {219, 141, 70}}, {1, 16, {32, 128, 211}},
        {3, 16, {58, 160, 191}},    {3, 400, {22, 115, 218}}};
    for (const auto& [row, height, colour] : cases) {
        EXPECT_EQ(about::GradientRowColour(row, height), colour) << row << " of " << height;
    }
}

TEST(AboutRules, TranslationPathFromTheFirstWholeEntry) {
    const std::pair<std::optional<std::uint32_t>, const char*> cases[] = {
        {0x00000000, "00000000\\"},
        {0x04E30419, "041904E3\\"},
        {0xFFFF0001, "0001FFFF\\"},
        {std::nullopt, "080004b0\\"}};
    for (const auto& [entry, path] : cases) {
        EXPECT_EQ(about::TranslationPath(entry), path) << entry.value_or(0);
    }
    // The bytes after a value shorter than an entry are not the value's.
    const unsigned char value[] = {0x19, 0x04, 0xE3, 0x04, 0x09};
    EXPECT_EQ(about::FirstTranslationEntry(value, 5), 0x04E30419u);
    for (const std::size_t length : {0, 1, 2, 3}) {
        EXPECT_EQ(about::FirstTranslationEntry(value, length), std::nullopt) << length;
    }
    EXPECT_EQ(about::FirstTranslationEntry(nullptr, 4), std::nullopt);
}

TEST(AboutRules, HexText) {
    const std::tuple<std::uint32_t, std::int32_t, const char*> cases[] = {
        {0x0419, 4, "0419"},
        {0x10000, 4, "10000"},
        {0x01234567, 8, "01234567"},
        {0x89ABCDEF, 1, "89ABCDEF"},
        {0, 4, "0000"},
        {0, 0, ""},
        {0, -1, ""},
        {0x2A, -5, "2A"}};
    for (const auto& [value, minDigits, text] : cases) {
        EXPECT_EQ(util::HexText(value, minDigits), text) << value << ", " << minDigits;
    }
}

}  // namespace
