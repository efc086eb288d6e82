#include "cli/table_check_command.h"

#include "cli/reporter.h"
#include "cli/table_search.h"
#include "platform/system_file.h"
#include "recode/table_check.h"

namespace cli {
namespace {

constexpr int kFindingsExitCode = 1;

}  // namespace

int RunTableCheck(const CommandLine& commandLine, std::size_t blockSize) {
    Reporter report;
    const std::string name = FindTable(commandLine.table);
    if (name.empty()) {
        report.emptyName("the table, --check");
        return report.exitCode();
    }
    // Read as a recoding run reads a table: "-" is a file of that name.
    platform::NativeFile file{};
    if (const platform::ErrorCode code = platform::openForReading(name, file, kNames)) {
        report.badFile(name, recode::IoFailure::System(code));
        return report.exitCode();
    }
    recode::TextLineReader reader(blockSize);
    reader.attach(file);
    const recode::TableCheck check = recode::CheckTable(
        reader, commandLine.utf8Table ? recode::TableKind::Utf8 : recode::TableKind::Bytes);
    reader.close();
    recode::takeIoResult();
    // The first failure is the one to name; none with no entries is a table without any.
    if (reader.failure() || check.entries == 0) {
        report.badFile(name, reader.failure());
        return report.exitCode();
    }
    std::string findings;
    for (const recode::TableFinding& finding : check.findings) {
        findings += name + ":" + std::to_string(finding.line) + ": " + finding.message + "\n";
    }
    platform::writeStandardOutput(findings);
    return check.findings.empty() ? 0 : kFindingsExitCode;
}

}  // namespace cli
