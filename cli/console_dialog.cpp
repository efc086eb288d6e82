#include "cli/console_dialog.h"

#include <cstdio>

namespace cli {
namespace {

constexpr int kBadFileExitCode = 1;
constexpr int kEmptyNameExitCode = 2;

}  // namespace

std::string ConsoleDialog::readField(recode::Field field) {
    switch (field) {
        case recode::Field::Input:
            return commandLine_.input;
        case recode::Field::Table:
            return commandLine_.table;
        case recode::Field::Output:
            return commandLine_.output;
    }
    return {};
}

void ConsoleDialog::showMessage(const recode::PassMessage& message) {
    const std::string_view text = recode::MessageText(message.kind);
    if (message.kind == recode::MessageKind::FileNameIsEmpty) {
        std::fprintf(stderr, "lettermill-recode: %.*s\n", static_cast<int>(text.size()),
                     text.data());
        exitCode_ = kEmptyNameExitCode;
        return;
    }
    // A table without a single entry is the one "Bad file" that no system call reported.
    const std::string reason =
        message.code != 0 ? recode::describeIoResult(message.code) : "no table entries";
    std::fprintf(stderr, "lettermill-recode: %s: %.*s (%s)\n", readField(message.field).c_str(),
                 static_cast<int>(text.size()), text.data(), reason.c_str());
    exitCode_ = kBadFileExitCode;
}

}  // namespace cli
