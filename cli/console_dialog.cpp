#include "cli/console_dialog.h"

#include <algorithm>
#include <cstdio>

namespace cli {
namespace {

constexpr int kBadFileExitCode = 1;
constexpr int kEmptyNameExitCode = 2;

}  // namespace

bool ConsoleDialog::recode(recode::PassFiles& files, const std::string& input,
                           const std::string& output, const std::string& shownOutput) {
    input_ = input;
    output_ = output;
    shownOutput_ = shownOutput;
    failed_ = false;
    recode::RecodingPass(*this, files);
    return !failed_;
}

void ConsoleDialog::reportBadFile(const std::string& name, platform::ErrorCode code) {
    std::fprintf(stderr, "lettermill-recode: %s: Bad file (%s)\n", name.c_str(),
                 recode::describeIoResult(code).c_str());
    fail(kBadFileExitCode);
}

std::string ConsoleDialog::readField(recode::Field field) {
    switch (field) {
        case recode::Field::Input:
            return input_;
        case recode::Field::Table:
            return table_;
        case recode::Field::Output:
            return output_;
    }
    return {};
}

void ConsoleDialog::showMessage(const recode::PassMessage& message) {
    const std::string_view text = recode::MessageText(message.kind);
    if (message.kind == recode::MessageKind::FileNameIsEmpty) {
        std::fprintf(stderr, "lettermill-recode: %.*s\n", static_cast<int>(text.size()),
                     text.data());
        return fail(kEmptyNameExitCode);
    }
    // A table without a single entry is the one "Bad file" that no system call reported.
    const std::string reason =
        message.code != 0 ? recode::describeIoResult(message.code) : "no table entries";
    const std::string name =
        message.field == recode::Field::Output ? shownOutput_ : readField(message.field);
    std::fprintf(stderr, "lettermill-recode: %s: %.*s (%s)\n", name.c_str(),
                 static_cast<int>(text.size()), text.data(), reason.c_str());
    fail(kBadFileExitCode);
}

void ConsoleDialog::fail(int exitCode) {
    failed_ = true;
    exitCode_ = std::max(exitCode_, exitCode);
}

}  // namespace cli
