// A test with lettermill.exe running in a fresh folder that holds the sample's input and table
// under the dialog's default names.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "program/running_program.h"
#include "support/temp_dir.h"

namespace shell_testing {

std::string SampleFile(const std::string& name);

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest();

    // A file's content, or nothing while it does not exist.
    std::string contentOf(const std::string& name) const;

    testing_support::TempDir dir;
    RunningProgram program{dir.path("")};
    const std::string expectedOutput = SampleFile("expected.txt");
};

}  // namespace shell_testing
