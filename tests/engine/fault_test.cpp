// The pass with one system call failing: for open, read, write and close in turn, the Nth call of
// a small pass at 3-byte blocks fails, for every N up to one past the last call. The pass must
// blame the file that call was about, with the call's own code, leave input and table as they
// were and run its whole clean-up, closing every file it opened; when nothing fails it must give
// the clean output.
//
// The same faults hit lettermill-recode's --in-place, run in the test's own process, and so do
// failures of the flushes and the rename that put a new file in place, whose order is checked
// too.
//
// The program is linked with --wrap for these calls, so that the system layer's own calls (and
// only those of the program's own code) come here before they reach the C library.
#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <map>
#include <optional>
#include <unistd.h>
#include <vector>

#include "cli/recode_command.h"
#include "platform/file_replacement.h"
#include "support/support.h"

namespace {

// kFlush is a file's flush (fdatasync), kFolderFlush a folder's (fsync).
enum Call { kOpen, kRead, kWrite, kClose, kFlush, kRename, kFolderFlush };

struct Plan {
    Call call;
    int code;
    bool readsFailAfterwards;
    int nth;  // 0: none fails
    std::array<int, 7> calls{};
    std::map<int, std::string> names{};  // of the descriptors open
    std::string failedOn{};              // the name of the file whose call failed
    std::vector<std::size_t> writeSizes{};
    std::vector<std::pair<Call, std::string>> done{};  // writes, flushes, renames: the file's name
    int signalAtFlush = 0;                             // raised when a new file is to be flushed
    std::string messages{};                            // what went to standard error
} plan{};

std::string BaseName(const std::string& name) {
    return std::filesystem::path(name).filename().string();
}

// -1 with errno set when this call is to fail: the planned one, or a read after it if so planned.
int Injected(Call call, const std::string& name) {
    const bool planned = ++plan.calls[call] == plan.nth && call == plan.call;
    plan.failedOn = planned ? name : plan.failedOn;
    errno = planned ? plan.code : EIO;
    return planned || (call == kRead && plan.readsFailAfterwards && !plan.failedOn.empty()) ? -1
                                                                                            : 0;
}

}  // namespace

extern "C" {
int __real_open(const char* name, int flags, ...);
int __real_openat(int folder, const char* name, int flags, ...);
ssize_t __real_read(int fd, void* buffer, size_t size);
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_close(int fd);
int __real_fdatasync(int fd);
int __real_fsync(int fd);
int __real_renameat(int fromFolder, const char* from, int toFolder, const char* to);

int __wrap_open(const char* name, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    const int fd = Injected(kOpen, name) != 0 ? -1 : __real_open(name, flags, mode);
    if (fd >= 0) {
        plan.names[fd] = name;
    }
    return fd;
}

int __wrap_openat(int folder, const char* name, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    const int fd = Injected(kOpen, name) != 0 ? -1 : __real_openat(folder, name, flags, mode);
    if (fd >= 0) {
        plan.names[fd] = name;
    }
    return fd;
}

ssize_t __wrap_read(int fd, void* buffer, size_t size) {
    return Injected(kRead, plan.names[fd]) != 0 ? -1 : __real_read(fd, buffer, size);
}

// Messages are no file of the pass: they pass untouched, and are kept for the test to read.
ssize_t __wrap_write(int fd, const void* data, size_t size) {
    if (fd == STDERR_FILENO) {
        plan.messages.append(static_cast<const char*>(data), size);
        return __real_write(fd, data, size);
    }
    plan.writeSizes.push_back(size);
    plan.done.emplace_back(kWrite, BaseName(plan.names[fd]));
    return Injected(kWrite, plan.names[fd]) != 0 ? -1 : __real_write(fd, data, size);
}

int __wrap_fdatasync(int fd) {
    plan.done.emplace_back(kFlush, BaseName(plan.names[fd]));
    if (plan.signalAtFlush != 0) {
        ::raise(plan.signalAtFlush);
    }
    return Injected(kFlush, plan.names[fd]) != 0 ? -1 : __real_fdatasync(fd);
}

int __wrap_fsync(int fd) {
    plan.done.emplace_back(kFolderFlush, plan.names[fd]);
    return Injected(kFolderFlush, plan.names[fd]) != 0 ? -1 : __real_fsync(fd);
}

int __wrap_renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    plan.done.emplace_back(kRename, from);
    return Injected(kRename, to) != 0 ? -1 : __real_renameat(fromFolder, from, toFolder, to);
}

// Linux releases the descriptor even when close() fails.
int __wrap_close(int fd) {
    const int injected = Injected(kClose, plan.names[fd]);
    plan.names.erase(fd);
    const int closed = __real_close(fd);
    return injected != 0 ? injected : closed;
}
}

namespace {

// The call failing, its code, and whether every read after it fails too.
using Fault = std::tuple<Call, int, bool>;

class PassUnderFaults : public testing::TestWithParam<Fault> {
  protected:
    // The last run leaves its fault planned one call further on; no other test may meet it.
    void TearDown() override { plan = {}; }
};

TEST_P(PassUnderFaults, BlamesTheFileOfTheFailedCall) {
    const auto& [call, code, readsFailAfterwards] = GetParam();
    const lm::TempDir dir;
    // Named after their fields, which the messages name.
    const std::array<std::string, 3> names = {dir / "Input", dir / "Table", dir / "Output"};
    const std::string input = "ab=c\xe0!\r\n" + std::string(20, 'a') + "\nlast";
    const std::string table = "a=1\r\nb=\r\n\xe0=ya\r\na=2\r\n";
    lm::Write(names[0], input);
    lm::Write(names[1], table);
    recode::PassFiles files(3);
    plan = {};
    ASSERT_EQ(lm::RunPass(files, names), lm::LogOfPass());
    const std::string clean = lm::Read(names[2]);
    const int calls = plan.calls[call];
    ASSERT_GT(calls, 3);
    for (int nth = 1; nth <= calls + 1; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of " + std::to_string(calls));
        lm::Write(names[2], "an older output");
        plan = {call, code, readsFailAfterwards, nth};
        const std::string log = lm::RunPass(files, names);
        const std::string blamed = std::filesystem::path(plan.failedOn).filename().string();
        EXPECT_EQ(log, lm::LogOfPass(std::string(lm::kNamesRead) +
                                     (nth > calls ? ""
                                                  : "Bad file: " + blamed + " " +
                                                        std::to_string(code) + "|")));
        EXPECT_EQ(plan.names.size(), 0u) << "files left open";
        if (nth > calls) {
            EXPECT_EQ(lm::Read(names[2]), clean);
        }
        EXPECT_EQ(lm::Read(names[0]), input);
        EXPECT_EQ(lm::Read(names[1]), table);
    }
}

class InPlaceUnderFaults : public PassUnderFaults {};

// In place under the same faults and those of the flushes and the rename: the file is
// afterwards wholly the new text when the run succeeded and byte for byte the old one when it
// failed, and no new file is left beside it. Only a folder that cannot be flushed comes after
// the file is in place; it is reported all the same.
TEST_P(InPlaceUnderFaults, LeavesTheFileWholeAndNothingBeside) {
    const auto& [call, code, readsFailAfterwards] = GetParam();
    const lm::TempDir dir;
    const std::string input = "ab=c\xe0!\r\n" + std::string(20, 'a') + "\nlast";
    lm::Write(dir / "table.tab", "a=1\r\nb=\r\n\xe0=ya\r\na=2\r\n");
    lm::Write(dir / "file.txt", input);
    cli::CommandLine line;
    line.inPlace = true;
    line.table = dir / "table.tab";
    line.inputs = {dir / "file.txt"};
    plan = {};
    ASSERT_EQ(cli::RunRecode(line, 3), 0);
    const std::string clean = lm::Read(dir / "file.txt");
    const int calls = plan.calls[call];
    for (int nth = 1; nth <= calls + 1; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of " + std::to_string(calls));
        lm::Write(dir / "file.txt", input);
        plan = {call, code, readsFailAfterwards, nth};
        const int exitCode = cli::RunRecode(line, 3);
        const bool inPlaceAlready = call == kFolderFlush && nth <= calls;
        EXPECT_EQ(lm::Read(dir / "file.txt"), exitCode == 0 || inPlaceAlready ? clean : input);
        // A failed close of a file only read, once all is done, changes nothing.
        EXPECT_TRUE(nth <= calls || exitCode == 0);
        EXPECT_TRUE(call < kFlush || nth > calls || exitCode == 1);
        EXPECT_EQ(plan.names.size(), 0u) << "files left open";
        // Whichever file failed, the message names the file as the user named it.
        EXPECT_EQ(plan.messages.starts_with("lettermill-recode: " + line.table + ": ") ||
                      plan.messages.starts_with("lettermill-recode: " + line.inputs[0] + ": "),
                  exitCode != 0)
            << plan.messages;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / ""), {}), 2);
    }
}

// One write per block, however the text was made in it: with replacements that run over many
// blocks, and one longer than the block and the writer's overrun together, whole blocks, then the
// rest.
TEST(PassWrites, WholeBlocksThenTheRest) {
    const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "Input", dir / "Table", dir / "Output"};
    lm::Write(names[0], "ab=cd!\r\n" + std::string(20, 'a') + "\nlast");
    lm::Write(names[1], "a=1\r\nb=\r\nc=" + std::string(1100, 'C') +
                            "\r\nd=" + std::string(40, 'D') + "\r\n");
    recode::PassFiles files(3);
    plan = {};
    ASSERT_EQ(lm::RunPass(files, names), lm::LogOfPass());
    const std::size_t size = lm::Read(names[2]).size();
    std::vector<std::size_t> blocks((size - 1) / 3, 3);
    blocks.push_back(size - blocks.size() * 3);
    EXPECT_EQ(plan.writeSizes, blocks);
}

// Each new file's text reaches the disk before it takes its old file's place, and the renames
// reach it with their folder before the run ends: its writes, its flush, its rename, then a
// flush of the folder.
TEST(InPlace, FlushesEachNewFileBeforeItsRenameAndTheFolderAfter) {
    const lm::TempDir dir;
    lm::Write(dir / "table.tab", "a=1\r\n");
    cli::CommandLine line;
    line.inPlace = true;
    line.table = dir / "table.tab";
    line.inputs = {dir / "one.txt", dir / "two.txt"};
    for (const std::string& name : line.inputs) {
        lm::Write(name, "bab\r\nab");
    }
    plan = {};
    ASSERT_EQ(cli::RunRecode(line, 3), 0);
    const auto& done = plan.done;
    const auto at = [&](Call call, const std::string& name, std::size_t from = 0) {
        const auto found = std::find(done.begin() + static_cast<std::ptrdiff_t>(from), done.end(),
                                     std::pair(call, name));
        return static_cast<std::size_t>(found - done.begin());
    };
    std::size_t renames = 0;
    for (std::size_t rename = 0; rename < done.size(); ++rename) {
        if (done[rename].first != kRename) {
            continue;
        }
        ++renames;
        const std::string& name = done[rename].second;
        const std::size_t flush = at(kFlush, name);
        EXPECT_LT(at(kWrite, name), flush) << name << " flushed before it was written";
        EXPECT_LT(flush, rename) << name << " not flushed before it took the old one's place";
        EXPECT_EQ(at(kWrite, name, flush), done.size()) << name << " written after its flush";
        EXPECT_NE(std::find_if(done.begin() + static_cast<std::ptrdiff_t>(rename), done.end(),
                               [](const auto& call) { return call.first == kFolderFlush; }),
                  done.end())
            << "the folder not flushed after " << name << " took the old one's place";
    }
    EXPECT_EQ(renames, 2u);
}

// A signal that ends a batch while its new files wait to be put in place removes them all; one
// that the caller ignores, as nohup does, stays ignored and the batch completes. Each run is a
// process of its own, started afresh, so that no handler installed by another test is inherited;
// it runs this test again from its start, and finds the folder through its environment. It ends
// without destroying the plan, which the test framework's own closes still reach.
TEST(InPlace, EndedBySignalLeavesEveryFileAsItWasAndNothingBeside) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr const char* kFolder = "LETTERMILL_SIGNAL_TEST_FOLDER";
    std::optional<lm::TempDir> made;
    if (std::getenv(kFolder) == nullptr) {
        ::setenv(kFolder, (made.emplace() / "").c_str(), 1);
    }
    const std::string dir = std::getenv(kFolder);
    const std::array<std::string, 2> names = {dir + "one.txt", dir + "two.txt"};
    const auto run = [&](int signal, bool ignored) {
        ::signal(signal, ignored ? SIG_IGN : SIG_DFL);
        std::array<platform::FileReplacement, 2> batch;
        std::array<platform::ErrorCode, 2> codes{};
        for (std::size_t i = 0; i < batch.size(); ++i) {
            lm::Write(names[i], "old");
            if (batch[i].open(names[i], platform::NameCoding::Utf8) != 0 ||
                platform::closeFile(batch[i].takeOldFile()) != 0 || batch[i].makeNewFile() != 0 ||
                platform::writeAll(batch[i].newFile(), "new", 3) != 0) {
                std::_Exit(1);
            }
        }
        plan = {};
        plan.signalAtFlush = signal;
        platform::ReplaceAll(batch, codes);
        std::_Exit(codes[0] != 0 || codes[1] != 0);
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        EXPECT_EXIT(run(signal, false), testing::KilledBySignal(signal), "");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
        EXPECT_EQ(lm::Read(names[0]) + lm::Read(names[1]), "oldold");
        EXPECT_EXIT(run(signal, true), testing::ExitedWithCode(0), "");
        EXPECT_EQ(lm::Read(names[0]) + lm::Read(names[1]), "newnew");
    }
    ::unsetenv(kFolder);
}

constexpr Fault kPassFaults[] = {{kOpen, EACCES, false},
                                 {kRead, EIO, false},
                                 {kWrite, ENOSPC, false},
                                 {kClose, EIO, false},
                                 {kWrite, EFBIG, true}};
INSTANTIATE_TEST_SUITE_P(RecodingPass, PassUnderFaults, testing::ValuesIn(kPassFaults));
INSTANTIATE_TEST_SUITE_P(Pass, InPlaceUnderFaults, testing::ValuesIn(kPassFaults));
INSTANTIATE_TEST_SUITE_P(Replacement, InPlaceUnderFaults,
                         testing::Values(Fault{kFlush, EIO, false}, Fault{kRename, EXDEV, false},
                                         Fault{kFolderFlush, EIO, false}));

}  // namespace
