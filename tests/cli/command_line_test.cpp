// lettermill-recode as a user runs it: one table of command lines, each in a fresh folder, with
// its exit code, standard output and error, and the files it leaves.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <vector>

#include "cli/command_line.h"
#include "support/support.h"
#include "res/version.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <thread>
#endif

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
// to standard output and error, what out.txt (or another file) holds afterwards, a memory limit.
TEST_P(LettermillRecode, Runs) {
    CommandLine line = GetParam();
    line.resize(9);
    for (std::string& field : line) {
        lm::ReplaceAll(field, "{usage}", cli::kUsage);
        lm::ReplaceAll(field, "{try}", "Try 'lettermill-recode --help' for more information.\n");
        lm::ReplaceAll(field, "\n", "\\n");  // the usage's line ends are a console's too
        lm::ReplaceAll(field, "{version}", LETTERMILL_PRODUCT_VERSION);
        lm::ReplaceAll(field, "{tables}", LETTERMILL_SOURCE_DIR "/tables");
        lm::ReplaceAll(field, "{/}", ON_WINDOWS_ELSE("\\", "/"));
        field = lm::Expand(field);
    }
    const lm::TempDir dir;
    for (const auto& file : std::filesystem::directory_iterator(kFiles)) {
        std::filesystem::copy(file.path(), lm::Path(dir / lm::Utf8(file.path().filename())),
                              std::filesystem::copy_options::recursive);
    }
#ifndef _WIN32
    std::filesystem::create_symlink("in.txt", dir / "link.txt");
    std::filesystem::create_symlink("two.txt", dir / "twolink.txt");
#endif
    EXPECT_EQ(lm::RunRecode(dir / "", line[0], line[1], line[2].empty() ? ".out" : line[2],
                            line[7].empty() ? 0 : std::stoul(line[7])),
              lm::Run(std::stoi(line[3]), line[4], line[5]));
    EXPECT_EQ(lm::Read(dir / (line[8].empty() ? "out.txt" : line[8])),
              line[6].empty() ? "<none>" : line[6]);
    EXPECT_EQ(lm::Read(dir / "in.txt"), kInput);
    const std::set<std::string> made = {".out", ".err", "out.txt", "link.txt", "twolink.txt"};
    for (const auto& file : std::filesystem::directory_iterator(dir / "")) {
        const std::string name = lm::Utf8(file.path().filename());
        EXPECT_TRUE(made.contains(name) || std::filesystem::exists(lm::Path(kFiles + "/" + name)))
            << name << " left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LettermillRecode, testing::ValuesIn(DataRows("command-lines.txt")));
INSTANTIATE_TEST_SUITE_P(SystemRows, LettermillRecode,
                         testing::ValuesIn(DataRows(ON_WINDOWS_ELSE("command-lines-windows.txt",
                                                                    "command-lines-posix.txt"))));
#ifndef _WIN32
// Runs appending to one file at once (xargs -P ... >> all.txt) all succeed: standard output is
// taken without a lock. The lock held here stands for another run's.
TEST(LettermillRecodeOutput, AppendsWhileAnotherRunHoldsTheFile) {
    const lm::TempDir dir;
    std::filesystem::copy_file(kFiles + "/k.tab", dir / "k.tab");
    std::filesystem::copy_file(kFiles + "/in.txt", dir / "in.txt");
    lm::Write(dir / "all.txt", "");
    const int held = ::open((dir / "all.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(lm::RunRecode(dir / "", "-t k.tab in.txt", "", "all.txt"),
              lm::Run(0, "12c\r\nl12st\r\n", ""));
    ::close(held);
}

// What a terminal shows within five seconds, or as soon as it shows `wanted`.
std::string ShownBy(int terminal, const std::string& wanted) {
    std::string shown;
    char bytes[256];
    pollfd ready{terminal, POLLIN, 0};
    while (shown.find(wanted) == std::string::npos && ::poll(&ready, 1, 5000) > 0) {
        const ssize_t got = ::read(terminal, bytes, sizeof bytes);
        if (got <= 0) {
            break;
        }
        shown.append(bytes, static_cast<std::size_t>(got));
    }
    return shown;
}

// A terminal shows each line as soon as it ends, though the input has yet to bring the rest of
// the next one, and every line that one piece of the input ends: the output is a pseudo-terminal,
// the input a pipe that the test types into.
TEST(LettermillRecodeOutput, ATerminalShowsEachLineAsItEnds) {
    const lm::TempDir dir;
    std::filesystem::copy_file(kFiles + "/k.tab", dir / "k.tab");
    ASSERT_EQ(::mkfifo((dir / "typed").c_str(), 0600), 0);
    termios raw{};
    ::cfmakeraw(&raw);
    int terminal = -1;
    int device = -1;
    char name[256];
    ASSERT_EQ(::openpty(&terminal, &device, name, &raw, nullptr), 0);
    int exitCode = -1;
    std::thread run(
        [&] { exitCode = std::get<0>(lm::RunRecode(dir / "", "-t k.tab", "typed", name)); });
    const int typed = ::open((dir / "typed").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(::write(typed, "c\nd\r\nxa\r\nb", 10), 10);
    EXPECT_EQ(ShownBy(terminal, "c\r\nd\r\nx12\r\n"), "c\r\nd\r\nx12\r\n");
    ASSERT_EQ(::write(typed, "a\n", 2), 2);
    ::close(typed);
    EXPECT_EQ(ShownBy(terminal, "12\r\n"), "12\r\n");
    run.join();
    EXPECT_EQ(exitCode, 0);
    ::close(device);
    ::close(terminal);
}

// The new file takes the old one's owner, mode and ACL, as stat and getfacl show them: a mode
// that forbids writing it, set-user and set-group bits, which a change of owner after the mode
// would clear, an ACL entry for another user; another user's file keeps that owner when root
// recodes it.
TEST(LettermillRecodeInPlace, KeepsOwnerPermissionsAndAcl) {
    const lm::TempDir dir;
    std::filesystem::copy_file(kFiles + "/k.tab", dir / "k.tab");
    const std::string shell = "cd '" + dir / "" + "' && ";
    const auto state = [&] {
        const int code = std::system(
            (shell + "{ stat -c '%a %u %g' f.txt && getfacl -cp f.txt; } >.state").c_str());
        return std::to_string(code) + " " + lm::Read(dir / ".state");
    };
    for (const std::string setup :
         {"chmod 0440", "chmod 4755", "chmod 2750", "setfacl -m u:1234:rw", "chown 1234:1234",
          "chown 1234:1234 f.txt && chmod 6755"}) {
        SCOPED_TRACE(setup);
        if (setup.starts_with("chown") && ::geteuid() != 0) {
            continue;
        }
        lm::Write(dir / "f.txt", "bab");
        ASSERT_EQ(std::system((shell + setup + " f.txt").c_str()), 0);
        const std::string before = state();
        EXPECT_EQ(lm::RunRecode(dir / "", "-i -t k.tab f.txt"), lm::Run(0, "", ""));
        EXPECT_EQ(lm::Read(dir / "f.txt"), "12\r\n");
        EXPECT_EQ(state(), before);
        std::filesystem::remove(dir / "f.txt");
    }
}
#endif

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
// AddressSanitizer cannot start under a memory limit.
#if !defined(_WIN32) && !defined(LETTERMILL_ADDRESS_SANITIZER)
INSTANTIATE_TEST_SUITE_P(MemoryRows, LettermillRecode,
                         testing::ValuesIn(DataRows("command-lines-memory.txt")));

// An input line longer than the memory allowed streams through: no line is ever held whole.
TEST(LettermillRecodeMemory, StreamsALineLongerThanItsMemory) {
    const lm::TempDir dir;
    std::filesystem::copy_file(kFiles + "/k.tab", dir / "k.tab");
    lm::Write(dir / "long.txt", std::string(24 << 20, 'b').append("a"));
    EXPECT_EQ(lm::RunRecode(dir / "", "-t k.tab -o out.txt long.txt", "", ".out", 16 << 20),
              lm::Run(0, "", ""));
    EXPECT_EQ(lm::Read(dir / "out.txt"), "12\r\n");
}
#endif

}  // namespace
