// The pass with one system call failing: for open, read, write and close in turn, the Nth call of
// a small pass at 3-byte blocks fails, for every N up to one past the last call. The pass must
// blame the file that call was about, with the call's own code, leave input and table as they
// were and run its whole clean-up; when nothing fails it must give the clean output. The engine
// is built once more for this program, over the system layer below.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/support.h"
#include "platform/system_file.h"

// The real backend, in a namespace of its own: its includes are all above.
namespace real_backend {
using namespace ::platform;
#include "platform/system_file_posix.cpp"
}  // namespace real_backend

namespace {

enum Call { kOpen, kRead, kWrite, kClose };

struct Plan {
    Call call = kOpen;
    int nth = 0;  // 0: none fails
    platform::ErrorCode code = 0;
    bool readsFailAfterwards = false;
    std::array<int, 4> calls{};
    std::map<platform::NativeFile, std::string> names;
    std::string failedOn;  // the name of the file whose call failed
} plan;

platform::ErrorCode Injected(Call call, const std::string& name) {
    if (++plan.calls[call] == plan.nth && call == plan.call) {
        plan.failedOn = name;
        return plan.code;
    }
    return call == kRead && plan.readsFailAfterwards && !plan.failedOn.empty() ? EIO : 0;
}

}  // namespace

namespace platform {

namespace real = real_backend::platform;

// Opens by name, remembering the name of the descriptor for the calls on it.
ErrorCode Open(ErrorCode (*open)(const std::string&, NativeFile&), const std::string& name,
               NativeFile& file) {
    if (const ErrorCode code = Injected(kOpen, name)) {
        return code;
    }
    const ErrorCode code = open(name, file);
    plan.names[file] = name;
    return code;
}

ErrorCode openForReading(const std::string& name, NativeFile& file) {
    return Open(real::openForReading, name, file);
}

ErrorCode createForWriting(const std::string& name, NativeFile& file) {
    return Open(real::createForWriting, name, file);
}

ErrorCode duplicateStandardInput(NativeFile& file) {
    return real::duplicateStandardInput(file);
}

ErrorCode duplicateStandardOutput(NativeFile& file) {
    return real::duplicateStandardOutput(file);
}

FileKind kindOf(NativeFile file) {
    return real::kindOf(file);
}

ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    const ErrorCode code = Injected(kRead, plan.names[file]);
    return code != 0 ? code : real::readSome(file, buffer, capacity, count);
}

ErrorCode writeAll(NativeFile file, const char* data, std::size_t count) {
    const ErrorCode code = Injected(kWrite, plan.names[file]);
    return code != 0 ? code : real::writeAll(file, data, count);
}

// Linux releases the descriptor even when close() fails.
ErrorCode closeFile(NativeFile file) {
    const ErrorCode code = Injected(kClose, plan.names[file]);
    const ErrorCode closed = real::closeFile(file);
    return code != 0 ? code : closed;
}

std::string describeError(ErrorCode code) {
    return real::describeError(code);
}

}  // namespace platform

namespace {

struct Fault {
    const char* name;
    Call call;
    platform::ErrorCode code;
    bool readsFailAfterwards = false;
};

class PassUnderFaults : public testing::TestWithParam<Fault> {};

TEST_P(PassUnderFaults, BlamesTheFileOfTheFailedCall) {
    const Fault& fault = GetParam();
    const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab",
                                              dir / "output.txt"};
    const std::string input = "ab=c\xe0!\r\n" + std::string(20, 'a') + "\nlast";
    const std::string table = "a=1\r\nb=\r\n\xe0=ya\r\na=2\r\n";
    lm::Write(names[0], input);
    lm::Write(names[1], table);
    recode::PassFiles files(3);
    plan = {};
    ASSERT_EQ(lm::RunPass(files, names), lm::LogOfPass());
    const std::string clean = lm::Read(names[2]);
    const int calls = plan.calls[fault.call];
    for (int nth = 1; nth <= calls + 1; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of " + std::to_string(calls));
        lm::Write(names[2], "an older output");
        plan = {fault.call, nth, fault.code, fault.readsFailAfterwards, {}, {}, {}};
        const std::string log = lm::RunPass(files, names);
        const auto field = static_cast<recode::Field>(
            std::find(names.begin(), names.end(), plan.failedOn) - names.begin());
        EXPECT_EQ(log, nth <= calls ? lm::BadFile(field, fault.code) : lm::LogOfPass());
        if (nth > calls) {
            EXPECT_EQ(lm::Read(names[2]), clean);
        }
        EXPECT_EQ(lm::Read(names[0]), input);
        EXPECT_EQ(lm::Read(names[1]), table);
    }
}

INSTANTIATE_TEST_SUITE_P(RecodingPass, PassUnderFaults,
                         testing::Values(Fault{"Open", kOpen, EACCES}, Fault{"Read", kRead, EIO},
                                         Fault{"Write", kWrite, ENOSPC},
                                         Fault{"Close", kClose, EIO},
                                         Fault{"WriteThenEveryRead", kWrite, EFBIG, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
