#include "cli/guess_command.h"

#include <algorithm>
#include <cmath>

#include "cli/reporter.h"
#include "cli/run.h"
#include "platform/system_file.h"

namespace cli {
namespace {

std::string TableOrNone(std::string_view table) {
    return table.empty() ? "-" : std::string(table);
}

// Two decimals, cut rather than rounded: 1.00 only for a certainty.
std::string Hundredths(double value) {
    const auto hundredths = static_cast<int>(std::floor(value * 100));
    const std::string decimals = std::to_string(hundredths % 100);
    return std::to_string(hundredths / 100) + "." + (decimals.size() == 1 ? "0" : "") + decimals;
}

// Reads the beginning of a file, as much as a guess uses; false, reported, when it cannot.
bool readBeginning(const std::string& name, Reporter& report, std::string& sample) {
    platform::NativeFile file{};
    if (const platform::ErrorCode code = name == "-"
                                             ? platform::duplicateStandardInput(file)
                                             : platform::openForReading(name, file, kNames)) {
        report.badFile(name, recode::IoFailure::System(code));
        return false;
    }
    sample.resize(recode::kGuessSampleSize);
    std::size_t filled = 0;
    platform::ErrorCode code = 0;
    for (std::size_t count = 1; filled < sample.size() && count != 0 && code == 0;) {
        code = platform::readSome(file, sample.data() + filled, sample.size() - filled, count);
        filled += code == 0 ? count : 0;
    }
    sample.resize(filled);
    platform::closeFile(file);
    if (code != 0) {
        report.badFile(name, recode::IoFailure::System(code));
        return false;
    }
    return true;
}

}  // namespace

std::string DescribeGuess(const recode::CodePageGuess& guess) {
    using Kind = recode::CodePageGuess::Kind;
    if (guess.kind != Kind::CodePage) {
        return guess.kind == Kind::Ascii ? "ASCII" : "unknown";
    }
    const recode::CodePageNames& names = recode::NamesOf(guess.codePage);
    std::string text = std::string(names.name) + " (" + TableOrNone(names.tableToUtf8) + ", " +
                       TableOrNone(names.tableToWin) + ") " + Hundredths(guess.confidence);
    for (std::size_t i = 0; i < guess.sameText.size(); ++i) {
        text += std::string(i == 0 ? ", the same text in " : " or ") +
                std::string(recode::NamesOf(guess.sameText[i]).name);
    }
    return text;
}

int RunGuess(const CommandLine& commandLine) {
    Reporter report;
    const platform::StandardStreams streams = platform::reserveStandardStreams();
    int exitCode = 0;
    for (std::size_t i = 0; i < commandLine.inputs.size(); ++i) {
        const std::string& name = commandLine.inputs[i];
        std::string sample;
        if (name.empty()) {
            report.emptyName(Nth("input", i));
            continue;
        }
        if (name == "-" && !streams.input) {
            report.badFile(name, "standard input is closed");
            continue;
        }
        if (!readBeginning(name, report, sample)) {
            continue;
        }
        const recode::CodePageGuess guess = recode::GuessCodePage(sample);
        if (guess.kind == recode::CodePageGuess::Kind::Unknown) {
            exitCode = 1;
        }
        platform::writeStandardOutput(name + ": " + DescribeGuess(guess) + "\n");
    }
    return std::max(exitCode, report.exitCode());
}

}  // namespace cli
