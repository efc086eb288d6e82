// The recoding rules as data. Each folder of tests/cases, named after what it guards, holds a
// table, an input and either the output they give or, in refused.txt, the pass's message and
// lettermill-recode's. Every case runs through the pass at several block sizes, after a pass
// over another table of the same name (a table is read anew for each pass), and through
// lettermill-recode; each time the output file starts out longer than the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "engine/support.h"

namespace {

const std::string kCases = LETTERMILL_SOURCE_DIR "/tests/cases/";
constexpr std::size_t kThroughTheProgram = 0;

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kCases)) {
        if (entry.is_directory()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Case : public testing::TestWithParam<std::tuple<std::string, std::size_t>> {};

TEST_P(Case, GivesItsOutput) {
    const auto& [name, blockSize] = GetParam();
    const std::string table = lm::Read(kCases + name + "/table.tab");
    const std::string input = lm::Read(kCases + name + "/input.txt");
    const std::string expected = lm::Read(kCases + name + "/expected.txt");
    const std::string refused = lm::Read(kCases + name + "/refused.txt");
    const bool isRefused = refused != "<none>";
    const std::string passMessage = refused.substr(0, refused.find('\n') + 1);
    const std::string junk(expected.size() + 3, '#');
    const lm::TempDir dir;
    lm::Write(dir / "input.txt", input);
    if (blockSize == kThroughTheProgram) {
        lm::Write(dir / "table.tab", table);
        lm::Write(dir / "output.txt", junk);
        const lm::Run run = lm::RunRecode(dir / "", "-t table.tab -o output.txt input.txt");
        EXPECT_EQ(run.err, isRefused ? refused.substr(passMessage.size()) : "");
        EXPECT_EQ(run.exitCode, isRefused ? 1 : 0);
    } else {
        recode::PassFiles files(blockSize);
        const std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab",
                                                  dir / "output.txt"};
        lm::Write(dir / "table.tab", "\x21=x\n");
        ASSERT_EQ(lm::RunPass(files, names), lm::LogOfPass());
        lm::Write(dir / "table.tab", table);
        lm::Write(dir / "output.txt", junk);
        EXPECT_EQ(
            lm::RunPass(files, names),
            lm::LogOfPass(isRefused ? passMessage.substr(0, passMessage.size() - 1) + "|" : ""));
    }
    EXPECT_EQ(lm::Read(dir / "output.txt"), isRefused ? junk : expected);
    EXPECT_EQ(lm::Read(dir / "input.txt"), input);
    EXPECT_EQ(lm::Read(dir / "table.tab"), table);
}

INSTANTIATE_TEST_SUITE_P(Rules, Case,
                         testing::Combine(testing::ValuesIn(CaseNames()),
                                          testing::Values(1, 3, 128, 65536, kThroughTheProgram)),
                         [](const auto& info) {
                             std::string name = std::get<0>(info.param);
                             std::replace(name.begin(), name.end(), '-', '_');
                             const std::size_t size = std::get<1>(info.param);
                             return name + (size == kThroughTheProgram
                                                ? "_program"
                                                : "_block" + std::to_string(size));
                         });

}  // namespace
