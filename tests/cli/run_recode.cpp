#include "cli/run_recode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace testing_support {

RunResult RunRecode(const TempDir& dir, const std::string& arguments, const std::string& input,
                    const std::string& prefix, const std::string& streams) {
    dir.write(".stdin", input);
    dir.write(".stdout", "");
    const std::string command = "cd '" + dir.path("") + "' && " + prefix + " '" +
                                LETTERMILL_RECODE_PATH + "' " + arguments + " " + streams +
                                " 2>.stderr";
    const int status = std::system(("bash -c \"" + command + "\"").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read(".stdout"), dir.read(".stderr")};
}

void ExpectRuns(const TempDir& dir, const std::vector<ExpectedRun>& runs) {
    for (const ExpectedRun& expected : runs) {
        SCOPED_TRACE(expected.name);
        const RunResult run = RunRecode(dir, expected.arguments);
        EXPECT_EQ(run.exitCode, expected.exitCode);
        EXPECT_EQ(run.err, expected.message);
        EXPECT_EQ(run.out, "");
    }
}

bool CanLimitMemory() {
#ifdef __SANITIZE_ADDRESS__
    return false;
#else
    return true;
#endif
}

}  // namespace testing_support
