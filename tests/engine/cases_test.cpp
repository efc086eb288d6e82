// The recoding rules and the odd names as data: tests/cases/README.md says what a case folder
// holds. Every case runs through the pass at several block sizes, followed by a clean pass
// through the same readers and writer over another table of the same name (a table is read anew
// for each pass); the cases with the usual names also run through lettermill-recode. The output
// file always starts out longer than the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "support/support.h"

namespace {

const std::string kCases = LETTERMILL_SOURCE_DIR "/tests/cases/";
constexpr std::size_t kThroughTheProgram = 0;
const std::string kTooLong = "<too long>";  // cut after 259 bytes, the name would be another file's

using Case = std::tuple<std::string, std::size_t>;

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const auto& entry : std::filesystem::directory_iterator(kCases)) {
        const std::string name = entry.path().filename().string();
        for (const std::size_t size : {1, 3, 128, 65536, 0}) {
            if (std::filesystem::exists(entry.path() / "table.tab") &&
                !name.starts_with(ON_WINDOWS_ELSE("posix_", "windows_")) &&
                (size != kThroughTheProgram ||
                 !std::filesystem::exists(entry.path() / "names.txt"))) {
                cases.emplace_back(name, size);
            }
        }
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

class Recoding : public testing::TestWithParam<Case> {};

TEST_P(Recoding, GivesItsOutputOrItsMessage) {
    const auto& [name, blockSize] = GetParam();
    const std::string folder = kCases + name + "/";
    const auto data = [&folder](const std::string& file) { return lm::Read(folder + file); };
    const std::string table = data("table.tab");
    const std::string input = data("input.txt");
    const std::string expected = data("expected.txt");
    const std::string log =
        data("log.txt") == "<none>" ? std::string(lm::kNamesRead) : lm::Expand(data("log.txt"));
    const bool refused = log != lm::kNamesRead;
    const std::string junk(expected.size() + 3, '#');
    const lm::TempDir dir;
    lm::Write(dir / "input.txt", input);
    lm::Write(dir / "table.tab", table);
    lm::Write(dir / "output.txt", junk);
    const std::string longName = dir / std::string(300, 'f');
    lm::Write(longName.substr(0, 259), table);
    std::filesystem::create_directory(dir / "sub");
#ifndef _WIN32
    std::filesystem::create_hard_link(dir / "input.txt", dir / "hard.txt");
    std::filesystem::create_symlink(dir / "input.txt", dir / "link.txt");
#endif
    std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab", dir / "output.txt"};
    recode::PassFiles files(std::max<std::size_t>(blockSize, 1));
    if (blockSize == kThroughTheProgram) {
        EXPECT_EQ(lm::RunRecode(dir / "", "-t table.tab -o output.txt input.txt"),
                  lm::Run(refused ? 1 : 0, "",
                          data("stderr.txt") == "<none>" ? "" : lm::Expand(data("stderr.txt"))));
    } else {
        std::istringstream lines(data("names.txt"));
        for (std::string line; std::string & field : names) {
            if (std::getline(lines, line) && line != "<none>") {
                field = line == kTooLong        ? longName
                        : line.starts_with('@') ? dir / line.substr(1)
                                                : line;
            }
        }
        EXPECT_EQ(lm::RunPass(files, names), lm::LogOfPass(log));
    }
    // Only the output named may change, and only when the pass went through.
    for (const auto& [file, before] :
         {std::pair{"input.txt", input}, {"table.tab", table}, {"output.txt", junk}}) {
        std::error_code noFile;
        const bool written = !refused && std::filesystem::equivalent(dir / file, names[2], noFile);
        EXPECT_EQ(lm::Read(dir / file), written ? expected : before) << file;
    }
    EXPECT_EQ(lm::Read(refused ? longName.substr(0, 259) : names[2]), refused ? table : expected);

    lm::Write(dir / "table.tab", "!=x\n");
    EXPECT_EQ(lm::RunPass(files, {dir / "table.tab", dir / "table.tab", dir / "clean.out"}),
              lm::LogOfPass());
    EXPECT_EQ(lm::Read(dir / "clean.out"), "x=x\r\n");
}

// Named NAME_BLOCKSIZE; block size 0 is lettermill-recode.
INSTANTIATE_TEST_SUITE_P(Cases, Recoding, testing::ValuesIn(Cases()), [](const auto& info) {
    return std::get<0>(info.param) + "_" + std::to_string(std::get<1>(info.param));
});

}  // namespace
