// The pass with one system call failing, for every call of a small pass in turn: it must end
// with "Bad file" or with the very output a clean pass makes, never with a cut output and no
// message; it must leave its input and table alone, run its whole clean-up and hold no
// descriptor afterwards.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "fault_injection/injected_faults.h"
#include "recode/io_result.h"
#include "recode/recoding_pass.h"
#include "support/recording_dialog.h"
#include "support/temp_dir.h"

namespace {

using fault_injection::Call;
using testing_support::ReadFileBytes;
using testing_support::RecordingDialog;

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Lines that cross the 128-byte blocks of the real program and the 3-byte ones of the test,
// with a CR LF split between two requests somewhere.
std::string SmallInput() {
    std::string text;
    for (int line = 0; line < 12; ++line) {
        text += std::string(static_cast<std::size_t>(line * 7), 'a') + "b=c\xe0!\r\n";
    }
    return text + "last";
}

struct FaultCase {
    const char* name;
    Call call;
    platform::ErrorCode code;
    std::size_t blockSize;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

class PassUnderFaults : public ::testing::TestWithParam<FaultCase> {
  protected:
    void SetUp() override {
        input = dir.write("input.txt", SmallInput());
        table = dir.write("table.tab", "a=1\r\nb=\r\n\xe0=ya\r\na=2\r\n");
        output = dir.path("output.txt");
    }

    RecordingDialog Run() {
        RecordingDialog dialog(input, table, output);
        recode::RecodingPass(dialog, files);
        return dialog;
    }

    testing_support::TempDir dir;
    std::string input;
    std::string table;
    std::string output;
    recode::PassFiles files{GetParam().blockSize};
};

TEST_P(PassUnderFaults, BadFileOrTheWholeOutput) {
    const FaultCase& fault = GetParam();
    fault_injection::FailNone();
    ASSERT_EQ(Run().events, testing_support::EventsOfAGoodPass());
    const std::string cleanOutput = ReadFileBytes(output);
    const int calls = fault_injection::CallsSoFar(fault.call);
    ASSERT_GT(calls, 0);
    const std::string inputBytes = ReadFileBytes(input);
    const std::string tableBytes = ReadFileBytes(table);

    // One past the last call: the fault never fires, and the pass must be clean again.
    for (int nth = 1; nth <= calls + 1; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of " + std::to_string(calls));
        dir.write("output.txt", "previous output");
        const std::size_t descriptorsBefore = OpenDescriptors();

        fault_injection::FailNth(fault.call, nth, fault.code);
        const RecordingDialog dialog = Run();
        const bool fired = fault_injection::FaultFired();
        fault_injection::FailNone();

        EXPECT_EQ(fired, nth <= calls);
        if (fired) {
            EXPECT_EQ(dialog.events, testing_support::EventsWithMessage("Bad file"));
        } else {
            EXPECT_EQ(dialog.events, testing_support::EventsOfAGoodPass());
            EXPECT_EQ(ReadFileBytes(output), cleanOutput);
        }
        EXPECT_EQ(recode::takeIoResult(), 0u);
        EXPECT_EQ(ReadFileBytes(input), inputBytes);
        EXPECT_EQ(ReadFileBytes(table), tableBytes);
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    }
}

const FaultCase kFaults[] = {
    {"OpenRefused", Call::Open, EACCES, 128},
    {"OpenOutOfDescriptors", Call::Open, EMFILE, 128},
    {"ReadFails", Call::Read, EIO, 128},
    {"ReadFailsInSmallBlocks", Call::Read, EIO, 3},
    {"WriteFindsDiskFull", Call::Write, ENOSPC, 128},
    {"WriteFailsInSmallBlocks", Call::Write, EIO, 3},
    {"CloseFails", Call::Close, EIO, 128},
};

INSTANTIATE_TEST_SUITE_P(RecodingPass, PassUnderFaults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
