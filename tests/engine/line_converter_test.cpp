#include "recode/line_converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using recode::LineConverter;
using recode::TranslationTable;

// The conversion rule in its plainest form, on the table's per-byte lookup.
std::string ConvertByteByByte(const TranslationTable& table, const std::string& line) {
    std::string out;
    for (const char byte : line) {
        const auto c = static_cast<unsigned char>(byte);
        if (c <= 0x20 || !recode::AppendReplacements(table, c, out)) {
            out.push_back(byte);
        }
    }
    return out;
}

std::string Convert(const TranslationTable& table, const std::string& line) {
    return std::string(LineConverter(table).convert(line));
}

TEST(LineConverter, BytesAtOrBelowBlankAreNeverLookedUp) {
    TranslationTable table(3);
    table.store(" =blank");
    table.store("\t=tab");
    table.store("!=bang");
    EXPECT_EQ(Convert(table, std::string(" \t\0!", 4)), std::string(" \t\0bang", 7));
}

TEST(LineConverter, SeveralEntriesAddUpAndEmptyRemoves) {
    TranslationTable table(3);
    table.store("a=1");
    table.store("a=2");
    table.store("b=");
    EXPECT_EQ(Convert(table, "abc"), "12c");
}

// The output buffer is reused: a short line after a long one must not keep the long one's tail.
TEST(LineConverter, LinesOneAfterAnother) {
    TranslationTable oneToOne(1);
    oneToOne.store("a=b");
    TranslationTable words(1);
    words.store("a=bcd");
    TranslationTable longer(1);
    longer.store("a=bcdefghijkl");
    // Every replacement at most one byte long, one of them empty: not a byte map.
    TranslationTable removing(2);
    removing.store("a=");
    removing.store("x=y");
    for (const TranslationTable* table : {&oneToOne, &words, &longer, &removing}) {
        LineConverter converter(*table);
        for (const std::string& line :
             std::vector<std::string>{"xaxaxa", "a", "", "aaaa", std::string(100000, 'a'), "ax"}) {
            EXPECT_EQ(converter.convert(line), ConvertByteByByte(*table, line));
        }
    }
}

// Replacement lengths around the converter's word size, the longest allowed, several entries of
// one key, and tables of single bytes only: all must give what the byte-by-byte rule gives.
TEST(LineConverter, SameAsByteByByteRule) {
    std::mt19937 random(2023);
    const std::size_t lengths[] = {0, 1, 2, 7, 8, 9, 16, 300, 65535};
    for (int round = 0; round < 300; ++round) {
        const bool oneToOne = round % 3 == 0;
        const std::size_t size = 1 + random() % 12;
        TranslationTable table(size);
        for (std::size_t i = 0; i < size; ++i) {
            const char key = static_cast<char>(0x18 + random() % 16);
            const std::size_t length = oneToOne ? 1 : lengths[random() % std::size(lengths)];
            std::string replacement(length, '\0');
            for (char& c : replacement) {
                c = static_cast<char>(random());
            }
            table.store(std::string(1, key) + "=" + replacement);
        }
        // Lines past the converter's unmeasured length take the measuring path.
        std::string line(round % 25 == 0 ? 70000 + random() % 200 : random() % 200, '\0');
        for (char& c : line) {
            c = static_cast<char>(0x18 + random() % 20);
        }
        ASSERT_EQ(Convert(table, line), ConvertByteByByte(table, line)) << "round " << round;
    }
}

TEST(LineConverter, EveryByteOfAFullTable) {
    TranslationTable table(256);
    for (int b = 1; b < 256; ++b) {
        table.store(std::string(1, static_cast<char>(b)) + "=<" + std::to_string(b) + ">");
    }
    std::string line;
    for (int b = 0; b < 256; ++b) {
        line.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Convert(table, line), ConvertByteByByte(table, line));
}

}  // namespace
