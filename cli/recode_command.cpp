#include "cli/recode_command.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "cli/in_place.h"
#include "cli/run.h"
#include "recode/recoding_pass.h"

namespace cli {
namespace {

using platform::FileIdentity;
using recode::IoFailure;

constexpr std::string_view kAlsoAnInput = "is also an input";
constexpr std::string_view kAlsoTheOutput = "is also the output";

std::optional<FileIdentity> identifyInput(const Run& run, const std::string& name) {
    FileIdentity identity;
    const bool known = name == "-"
                           ? run.streams.input && platform::identifyStandardStream(false, identity)
                           : platform::identifyByName(name, identity, kNames);
    return known ? std::optional(identity) : std::nullopt;
}

// The output of a run into one output: standard output as it is, or the named file, emptied only
// once it is known to be none of the inputs. False, reported, when it is refused.
bool openOutput(Run& run, const std::vector<std::optional<FileIdentity>>& inputs,
                recode::TextLineWriter& writer) {
    const std::string& name = run.line.output;
    const auto isInput = [&inputs](const FileIdentity& identity) {
        return std::ranges::find(inputs, std::optional(identity)) != inputs.end();
    };
    platform::NativeFile file{};
    platform::ErrorCode code = 0;
    if (name == "-") {
        if (!run.streams.output) {
            run.report.badFile(name, "standard output is closed");
            return false;
        }
        code = platform::duplicateStandardOutput(file);
    } else {
        if (FileIdentity identity;
            platform::identifyByName(name, identity, kNames) && isInput(identity)) {
            run.report.badFile(name, kAlsoAnInput);
            return false;
        }
        code = platform::openForOutput(name, file, kNames);
        // The name may reach another file by now: the one opened is what counts.
        if (FileIdentity identity;
            code == 0 && platform::identifyFile(file, identity) && isInput(identity)) {
            platform::closeFile(file);
            run.report.badFile(name, kAlsoAnInput);
            return false;
        }
        if (code == 0 && (code = platform::emptyFile(file)) != 0) {
            platform::closeFile(file);
        }
    }
    if (code != 0) {
        run.report.badFile(name, IoFailure::System(code));
        return false;
    }
    writer.attach(file);
    return true;
}

// Every input in turn into one output. An input that is the output is refused, as is an output
// that is one of the inputs: that one before anything is created or emptied.
void recodeInto(Run& run) {
    // Empty names first: an output made for inputs that name nothing would be emptied for none.
    std::vector<std::optional<FileIdentity>> inputs;
    bool anyNamed = false;
    for (std::size_t i = 0; i < run.line.inputs.size(); ++i) {
        const std::string& name = run.line.inputs[i];
        if (name.empty()) {
            run.report.emptyName(Nth("input", i));
        }
        anyNamed = anyNamed || !name.empty();
        inputs.push_back(identifyInput(run, name));
    }
    if (!anyNamed) {
        return;
    }
    recode::TextLineWriter writer(run.blockSize);
    if (!openOutput(run, inputs, writer)) {
        return;
    }
    FileIdentity output;
    const bool outputKnown =
        run.line.output == "-" && platform::identifyStandardStream(true, output);

    recode::TextLineReader reader(run.blockSize);
    reader.setLoneCrEndsLine(run.line.crEndsLines);
    for (std::size_t i = 0; i < run.line.inputs.size(); ++i) {
        const std::string& name = run.line.inputs[i];
        if (name.empty()) {
            continue;
        }
        if (outputKnown && inputs[i] == output) {
            run.report.badFile(name, kAlsoTheOutput);
            continue;
        }
        if (!OpenInput(run, name, reader)) {
            continue;
        }
        const recode::TextConverter* converter = ConverterFor(run, name, reader.peek(), false);
        if (converter == nullptr) {
            reader.close();
            recode::takeIoResult();
            continue;
        }
        const recode::PassResult result = recode::RecodeText(reader, *converter, writer);
        reader.close();
        recode::takeIoResult();
        if (const std::string dropped = DescribeDropped(reader.dropped()); !dropped.empty()) {
            run.report.note(name, "dropped " + dropped);
        }
        if (!result.done()) {
            const bool ofOutput = result.message->field == recode::Field::Output;
            run.report.badFile(ofOutput ? run.line.output : name, result.message->failure);
            if (ofOutput) {
                return;
            }
        }
    }
    writer.close();
    recode::takeIoResult();
    if (writer.failure()) {
        run.report.badFile(run.line.output, writer.failure());
    }
}

}  // namespace

int RunRecode(const CommandLine& commandLine, std::size_t blockSize) {
    Run run(commandLine, blockSize);
    // Nothing can be recoded without a table or, when one is named, an output.
    if (commandLine.table.empty() || commandLine.output.empty()) {
        run.report.emptyName(commandLine.table.empty() ? "the table, -t" : "the output, -o");
        return run.report.exitCode();
    }
    if (!LoadTables(run)) {
        return run.report.exitCode();
    }
    if (commandLine.inPlace) {
        RecodeInPlace(run);
    } else {
        recodeInto(run);
    }
    return run.report.exitCode();
}

}  // namespace cli
