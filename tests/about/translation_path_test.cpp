#include "about/translation_path.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

struct PathCase {
    std::optional<std::uint32_t> firstTranslation;
    std::string path;
};

TEST(TranslationPath, LanguageThenCodePageInFourDigitsEach) {
    const PathCase cases[] = {
        {0x00000000, "00000000\\"},  // the program's own resource
        {0x04E30419, "041904E3\\"},  // Russian, Windows-1251
        {0x04B00409, "040904B0\\"},  // upper-case letters, also where the fallback has lower
        {0x0000041A, "041A0000\\"}, {0xFFFFFFFF, "FFFFFFFF\\"},
        {0xFFFF0001, "0001FFFF\\"}, {std::nullopt, "080004b0\\"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(about::TranslationPath(c.firstTranslation), c.path)
            << "entry " << c.firstTranslation.value_or(0);
    }
}

TEST(FirstTranslationEntry, OnlyAWholeEntryCounts) {
    const unsigned char value[] = {0x19, 0x04, 0xE3, 0x04, 0x09, 0x04, 0xB0, 0x04};
    EXPECT_EQ(about::FirstTranslationEntry(value, 8), 0x04E30419u);
    EXPECT_EQ(about::FirstTranslationEntry(value, 4), 0x04E30419u);
    // Shorter than an entry: its missing bytes must not be read from whatever follows.
    for (const std::size_t length : {0u, 1u, 2u, 3u}) {
        EXPECT_EQ(about::FirstTranslationEntry(value, length), std::nullopt) << length << " bytes";
    }
    EXPECT_EQ(about::FirstTranslationEntry(nullptr, 4), std::nullopt);
}

}  // namespace
