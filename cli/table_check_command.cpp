#include "cli/table_check_command.h"

#include <cstdio>

#include "cli/console_dialog.h"
#include "recode/table_check.h"

namespace cli {
namespace {

constexpr int kFindingsExitCode = 1;

}  // namespace

int RunTableCheck(const CommandLine& commandLine, std::size_t blockSize) {
    // The pass's own messages, worded as the pass words them.
    ConsoleDialog dialog(commandLine.table);
    const std::string& name = commandLine.table;
    if (name.empty()) {
        dialog.showMessage({recode::MessageKind::FileNameIsEmpty, recode::Field::Table, 0});
        return dialog.exitCode();
    }
    // Read as the pass reads a table: "-" is a file of that name.
    recode::TextLineReader reader(blockSize);
    reader.open(name);
    recode::TableCheck check;
    if (reader.failure() == 0) {
        check = recode::CheckTable(reader);
        reader.close();
    }
    recode::takeIoResult();
    // The first failure is the one to name; 0 with no entries is a table without any.
    if (reader.failure() != 0 || check.entries == 0) {
        dialog.showMessage({recode::MessageKind::BadFile, recode::Field::Table, reader.failure()});
        return dialog.exitCode();
    }
    for (const recode::TableFinding& finding : check.findings) {
        std::printf("%s:%zu: %s\n", name.c_str(), finding.line, finding.message.c_str());
    }
    return check.findings.empty() ? 0 : kFindingsExitCode;
}

}  // namespace cli
