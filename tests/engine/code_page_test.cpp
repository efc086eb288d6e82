// Each code page table of tables/code-pages.txt against glibc's iconv, a converter written by
// others: every byte from 0x21 on, one a line, must come out of the recoding pass as iconv makes
// it, or as "?" where iconv has no counterpart (the rule of tables/README.md).
#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>
#include <sstream>
#include <vector>

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

std::string Converted(iconv_t converter, char byte) {
    char out[8];
    char *in = &byte, *end = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    return iconv(converter, &in, &inLeft, &end, &outLeft) == static_cast<std::size_t>(-1)
               ? "?"
               : std::string(out, end);
}

class CodePageTable : public testing::TestWithParam<CodePages> {};

TEST_P(CodePageTable, GivesWhatIconvGives) {
    const auto& [table, from, to] = GetParam();
    const iconv_t opened = iconv_open(to.c_str(), from.c_str());
    ASSERT_NE(opened, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    const std::unique_ptr<void, int (*)(iconv_t)> converter(opened, iconv_close);
    std::string input, expected;
    for (int byte = 0x21; byte <= 0xFF; ++byte) {
        input += std::string(1, static_cast<char>(byte)) + "\r\n";
        expected += Converted(converter.get(), static_cast<char>(byte)) + "\r\n";
    }
    const lm::TempDir dir;
    lm::Write(dir / "input.txt", input);
    recode::PassFiles files;
    EXPECT_EQ(lm::RunPass(files, {dir / "input.txt", kTables + table, dir / "output.txt"}),
              lm::LogOfPass());
    EXPECT_EQ(lm::Read(dir / "output.txt"), expected);
}

INSTANTIATE_TEST_SUITE_P(Tables, CodePageTable, testing::ValuesIn(CodePageTables()));

}  // namespace
