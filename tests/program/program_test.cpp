#include "program/program_test.h"

#include <filesystem>

namespace shell_testing {

std::string SampleFile(const std::string& name) {
    return testing_support::ReadFileBytes(LETTERMILL_SOURCE_DIR "/sample/" + name);
}

ProgramTest::ProgramTest() {
    dir.write("input.txt", SampleFile("input.txt"));
    dir.write("win2trans.tab", SampleFile("win2trans.tab"));
}

std::string ProgramTest::contentOf(const std::string& name) const {
    return std::filesystem::exists(dir.path(name)) ? dir.read(name) : std::string();
}

}  // namespace shell_testing
