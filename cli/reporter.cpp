#include "cli/reporter.h"

#include <algorithm>

#include "platform/system_file.h"
#include "recode/pass_result.h"

namespace cli {
namespace {

constexpr int kBadFileExitCode = 1;
constexpr int kEmptyNameExitCode = 2;
constexpr std::string_view kProgram = "lettermill-recode: ";

}  // namespace

void Reporter::emptyName(std::string_view which) {
    platform::writeStandardError(std::string(kProgram) +
                                 std::string(MessageText(recode::MessageKind::FileNameIsEmpty)) +
                                 " (" + std::string(which) + ")\n");
    exitCode_ = std::max(exitCode_, kEmptyNameExitCode);
}

void Reporter::badFile(const std::string& name, recode::IoFailure failure) {
    badFile(name, failure ? recode::describeIoFailure(failure) : "no table entries");
}

void Reporter::badFile(const std::string& name, std::string_view reason) {
    platform::writeStandardError(std::string(kProgram) + name + ": " +
                                 std::string(MessageText(recode::MessageKind::BadFile)) + " (" +
                                 std::string(reason) + ")\n");
    exitCode_ = std::max(exitCode_, kBadFileExitCode);
}

void Reporter::note(const std::string& name, std::string_view text) {
    platform::writeStandardError(std::string(kProgram) + name + ": " + std::string(text) + "\n");
}

}  // namespace cli
