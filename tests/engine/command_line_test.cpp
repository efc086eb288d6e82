// lettermill-recode as a user runs it: one table of command lines, each in a fresh folder, with
// its exit code, standard output and error, and the files it leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "cli/command_line.h"
#include "engine/support.h"
#include "res/version.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace lm {

// Through the system's shell, as a user runs it: the shell makes the redirections, the program
// is the one built. Windows' cmd has no 1<>: >> does not empty the file either.
Run RunRecode(const std::string& dir, const std::string& arguments, const std::string& in,
              const std::string& out, std::size_t memoryLimit) {
    const std::string quote = ON_WINDOWS_ELSE("\"", "'");
    std::string command =
        ON_WINDOWS_ELSE("cd /d ", "cd ") + quote + dir + quote + " && " +
        (memoryLimit != 0 ? "ulimit -v " + std::to_string(memoryLimit >> 10) + " && " : "") +
        quote + LETTERMILL_RECODE + quote;
    std::istringstream words(arguments);
    for (std::string word; words >> word;) {
        command += " " + (word == "''" ? quote + quote : quote + word + quote);
    }
    Write(dir + ".out", "");
    const int status =
        std::system((command + " <" + (in.empty() ? ON_WINDOWS_ELSE("NUL", "/dev/null") : in) +
                     ON_WINDOWS_ELSE(" >>", " 1<>") + out + " 2>.err")
                        .c_str());
    return {ON_WINDOWS_ELSE(status, WIFEXITED(status) ? WEXITSTATUS(status) : -1), Read(dir + out),
            Read(dir + ".err")};
}

}  // namespace lm

namespace {

const std::string kFiles = LETTERMILL_SOURCE_DIR "/tests/cases/command-lines";
const std::string kInput = lm::Read(kFiles + "/in.txt");

using CommandLine = std::vector<std::string>;

// The rows of a data file of command lines, split at "|".
std::vector<CommandLine> DataRows(const std::string& name) {
    std::vector<CommandLine> rows;
    std::istringstream lines(lm::Read(LETTERMILL_SOURCE_DIR "/tests/cases/" + name));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#') {
            std::istringstream fields(line);
            rows.emplace_back();
            for (std::string field; std::getline(fields, field, '|');) {
                field.erase(0, field.find_first_not_of(' '));
                rows.back().push_back(field.erase(field.find_last_not_of(' ') + 1));
            }
        }
    }
    return rows;
}

class LettermillRecode : public testing::TestWithParam<CommandLine> {};

// A row of command-lines.txt: arguments, standard input, standard output, exit code, what goes
// to standard output and error, what out.txt holds afterwards, and a memory limit.
TEST_P(LettermillRecode, Runs) {
    CommandLine line = GetParam();
    line.resize(8);
    for (std::string& field : line) {
        lm::ReplaceAll(field, "{usage}", cli::kUsage);
        lm::ReplaceAll(field, "\n", "\\n");  // the usage's line ends are a console's too
        lm::ReplaceAll(field, "{version}", LETTERMILL_PRODUCT_VERSION);
        lm::ReplaceAll(field, "{tables}", LETTERMILL_SOURCE_DIR "/tables");
        field = lm::Expand(field);
    }
    const lm::TempDir dir;
    for (const auto& file : std::filesystem::directory_iterator(kFiles)) {
        std::filesystem::copy_file(file.path(), dir / file.path().filename().string());
    }
#ifndef _WIN32
    std::filesystem::create_symlink("in.txt", dir / "link.txt");
#endif
    EXPECT_EQ(lm::RunRecode(dir / "", line[0], line[1], line[2].empty() ? ".out" : line[2],
                            line[7].empty() ? 0 : std::stoul(line[7])),
              lm::Run(std::stoi(line[3]), line[4], line[5]));
    EXPECT_EQ(lm::Read(dir / "out.txt"), line[6].empty() ? "<none>" : line[6]);
    EXPECT_EQ(lm::Read(dir / "in.txt"), kInput);
}

INSTANTIATE_TEST_SUITE_P(Rows, LettermillRecode, testing::ValuesIn(DataRows("command-lines.txt")));
INSTANTIATE_TEST_SUITE_P(SystemRows, LettermillRecode,
                         testing::ValuesIn(DataRows(ON_WINDOWS_ELSE("command-lines-windows.txt",
                                                                    "command-lines-posix.txt"))));
// Every shipped table passes --check without a finding; natively only, as the tables and the
// checker are the same on both systems and each start of the program costs half a second under
// Wine.
#ifndef _WIN32
std::vector<CommandLine> ShippedTableRows() {
    std::vector<CommandLine> rows;
    for (const auto& file : std::filesystem::directory_iterator(LETTERMILL_SOURCE_DIR "/tables")) {
        if (file.path().extension() == ".tab") {
            rows.push_back({"--check {tables}/" + file.path().filename().string(), "", "", "0"});
        }
    }
    return rows;
}
INSTANTIATE_TEST_SUITE_P(ShippedTables, LettermillRecode, testing::ValuesIn(ShippedTableRows()));
#endif
// AddressSanitizer cannot start under a memory limit; GCC names it one way, clang 14 another.
#if defined(__SANITIZE_ADDRESS__)
#define LM_UNDER_ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LM_UNDER_ASAN
#endif
#endif
#if !defined(_WIN32) && !defined(LM_UNDER_ASAN)
INSTANTIATE_TEST_SUITE_P(MemoryRows, LettermillRecode,
                         testing::ValuesIn(DataRows("command-lines-memory.txt")));
#endif

}  // namespace
