#include "cli/recode_command.h"

#include <vector>

#include "cli/console_dialog.h"
#include "platform/file_replacement.h"
#include "recode/dash_name.h"
#include "recode/recoding_pass.h"

namespace cli {
namespace {

// A name of "-" may stand for standard input or output; an empty name reaches no file.
bool identify(const std::string& name, bool asOutput, platform::FileIdentity& identity,
              bool dashIsStandardStream) {
    return dashIsStandardStream && name == "-"
               ? platform::identifyStandardStream(asOutput, identity)
               : platform::identifyByName(name, identity);
}

void recodeInPlace(const CommandLine& line, recode::PassFiles& files, ConsoleDialog& dialog) {
    for (const std::string& name : line.inputs) {
        if (name.empty()) {
            dialog.showMessage({recode::MessageKind::FileNameIsEmpty, recode::Field::Input, 0});
            continue;
        }
        platform::FileReplacement replacement;
        if (const platform::ErrorCode code = replacement.begin(name)) {
            dialog.reportBadFile(name, code);
        } else if (dialog.recode(files, name, replacement.newName(), name)) {
            if (const platform::ErrorCode failure = replacement.commit()) {
                dialog.reportBadFile(name, failure);
            }
        }
    }
}

// An output that is one of the inputs would lose that input before it is read: such an input is
// skipped, whatever name, link or redirection reaches it, and the others are recoded.
void recodeInto(const CommandLine& line, recode::PassFiles& files, ConsoleDialog& dialog) {
    platform::FileIdentity output;
    const bool outputKnown = identify(line.output, true, output, true);
    // "-" is standard input for an input, and a file of that name for the table.
    const auto isOutput = [&](const std::string& name, bool dashIsStandardInput) {
        platform::FileIdentity identity;
        return outputKnown && identify(name, false, identity, dashIsStandardInput) &&
               identity == output;
    };
    std::vector<bool> refused;
    for (const std::string& input : line.inputs) {
        refused.push_back(isOutput(input, true));
    }
    // Several passes share one output: it is made once, as standard output, before the first.
    // The table is read anew by each pass, so it must not be that output.
    const bool shared = line.inputs.size() > 1 && line.output != "-" && !line.output.empty();
    if (shared) {
        if (isOutput(line.table, false)) {
            return dialog.reportBadFile(line.output, platform::fileInUseCode());
        }
        if (const platform::ErrorCode code = platform::redirectStandardOutput(line.output)) {
            return dialog.reportBadFile(line.output, code);
        }
    }
    const std::string passOutput = shared ? std::string("-") : line.output;
    for (std::size_t i = 0; i < line.inputs.size(); ++i) {
        if (refused[i]) {
            dialog.reportBadFile(line.output, platform::fileInUseCode());
        } else {
            dialog.recode(files, line.inputs[i], passOutput, line.output);
        }
    }
}

}  // namespace

int RunRecode(const CommandLine& commandLine, std::size_t blockSize) {
    recode::PassFiles files(blockSize, recode::DashName::IsStandardStream);
    ConsoleDialog dialog(commandLine.table);
    if (commandLine.inPlace) {
        recodeInPlace(commandLine, files, dialog);
    } else {
        recodeInto(commandLine, files, dialog);
    }
    return dialog.exitCode();
}

}  // namespace cli
