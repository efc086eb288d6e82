// Each code page table of tables/code-pages.txt against glibc's iconv, a converter written by
// others: every byte from 0x21 on, one a line, must come out of the recoding pass as iconv makes
// it, or as "?" where iconv has no counterpart (the rule of tables/README.md). A table from UTF-8
// is given every character of its code page instead, and must also give back every byte that the
// table into UTF-8 made a character of.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

#include "recode/code_page.h"
#include "recode/utf8.h"
#include "support/support.h"

namespace {

const std::string kTables = LETTERMILL_SOURCE_DIR "/tables/";

using CodePages = std::tuple<std::string, std::string, std::string>;  // table, from, to

std::vector<CodePages> CodePageTables() {
    std::vector<CodePages> tables;
    std::istringstream lines(lm::Read(kTables + "code-pages.txt"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        CodePages row;
        if (auto& [table, from, to] = row;
            !line.starts_with('#') && fields >> table >> from >> to) {
            tables.push_back(row);
        }
    }
    return tables;
}

using Converter = std::unique_ptr<void, int (*)(iconv_t)>;

Converter Open(const std::string& from, const std::string& to) {
    const iconv_t opened = iconv_open(to.c_str(), from.c_str());
    EXPECT_NE(opened, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    return Converter(opened, iconv_close);
}

std::string Converted(iconv_t converter, std::string text) {
    char out[8];
    char *in = text.data(), *end = out;
    std::size_t inLeft = text.size(), outLeft = sizeof out;
    return iconv(converter, &in, &inLeft, &end, &outLeft) == static_cast<std::size_t>(-1)
               ? "?"
               : std::string(out, end);
}

std::string Recoded(const std::string& table, const std::string& input) {
    const lm::TempDir dir;
    lm::Write(dir / "input.txt", input);
    recode::PassFiles files;
    EXPECT_EQ(lm::RunPass(files, {dir / "input.txt", kTables + table, dir / "output.txt"}),
              lm::LogOfPass());
    return lm::Read(dir / "output.txt");
}

class CodePageTable : public testing::TestWithParam<CodePages> {};

TEST_P(CodePageTable, GivesWhatIconvGives) {
    const auto& [table, from, to] = GetParam();
    const Converter converter = Open(from, to);
    const bool fromCharacters = from == "UTF-8";
    const Converter toCharacters = Open(to, "UTF-8");
    std::string input, expected, bytes, bytesBack;
    for (int value = 0x21; value <= 0xFF; ++value) {
        const std::string byte(1, static_cast<char>(value));
        const std::string character = Converted(toCharacters.get(), byte);
        bytes += byte + "\r\n";
        bytesBack += (character == "?" ? "?" : byte) + "\r\n";
        if (fromCharacters && character != "?") {
            input += character + "\r\n";
            expected += Converted(converter.get(), character) + "\r\n";
        } else if (!fromCharacters) {
            input += byte + "\r\n";
            expected += Converted(converter.get(), byte) + "\r\n";
        }
    }
    EXPECT_EQ(Recoded(table, input), expected);
    if (fromCharacters) {
        const std::vector<CodePages> tables = CodePageTables();
        // Init-captures: clang 14 cannot capture structured bindings themselves.
        const auto intoCharacters =
            std::ranges::find_if(tables, [to = to, from = from](const auto& row) {
                return std::get<1>(row) == to && std::get<2>(row) == from;
            });
        ASSERT_NE(intoCharacters, tables.end()) << "no table from " << to;
        const std::string there = Recoded(std::get<0>(*intoCharacters), bytes);
        EXPECT_EQ(Recoded(table, there), bytesBack);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, CodePageTable, testing::ValuesIn(CodePageTables()));

// The guesser reads each byte as iconv does, and a byte that iconv leaves undefined as none, or
// a code page would be guessed for a text that it cannot hold.
TEST(CodePageCharacters, AreWhatIconvGives) {
    for (const recode::CodePage codePage : recode::kByteCodePages) {
        const std::string name(recode::NamesOf(codePage).name);
        const Converter converter = Open(name, "UTF-8");
        for (int value = 0; value <= 0xFF; ++value) {
            const std::string character =
                Converted(converter.get(), std::string(1, static_cast<char>(value)));
            const char32_t expected = character == "?" && value != '?'
                                          ? recode::kNoCharacter
                                          : recode::ReadUtf8(character).codePoint;
            EXPECT_EQ(recode::CharactersOf(codePage)[static_cast<std::size_t>(value)], expected)
                << name << " byte " << value;
        }
    }
}

}  // namespace
