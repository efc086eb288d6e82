#include "cli/recode_command.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "cli/guess_command.h"
#include "cli/reporter.h"
#include "cli/table_search.h"
#include "platform/file_replacement.h"
#include "platform/system_file.h"
#include "recode/code_page_guess.h"
#include "recode/recoding_pass.h"
#include "recode/translation_table.h"
#include "recode/utf8.h"

namespace cli {
namespace {

using platform::FileIdentity;
using recode::IoFailure;

// The names of lettermill-recode's command line: UTF-8 on Windows, taken from its wide arguments.
constexpr platform::NameCoding kNames = platform::NameCoding::Utf8;
// New files waiting for their flush and rename together: fewer waits for the disk, and few
// enough descriptors held open at once.
constexpr std::size_t kBatchSize = 64;

// Reasons that no system call gives.
constexpr const char* kNoTableGiven =
    ": no -t TABLE was given, and no folder searched holds the default table; "
    "lettermill-recode --list-tables shows the tables it finds";
constexpr std::string_view kAlsoAnInput = "is also an input";
constexpr std::string_view kAlsoTheOutput = "is also the output";
constexpr std::string_view kIsTheTable = "is the table";
constexpr std::string_view kAlreadyRecoded =
    "looks already recoded: it is UTF-8, which this table makes; --force recodes it again";
constexpr std::string_view kNotText =
    "holds NUL bytes, which no text of a code page does; --force replaces it all the same";

// What one run shares: its command line, its table, read once, and its messages.
struct Run {
    Run(const CommandLine& commandLine, std::size_t size)
        : line(commandLine), blockSize(size), streams(platform::reserveStandardStreams()) {}

    const CommandLine& line;
    std::size_t blockSize;
    platform::StandardStreams streams;
    Reporter report;
    recode::TranslationTable table{
        recode::TranslationTable::kNoLimit,
        line.utf8Table ? recode::TableKind::Utf8 : recode::TableKind::Bytes};
    std::optional<FileIdentity> tableIdentity;
    bool makesUtf8 = false;
    // The table's converter; with -t auto, those of the code pages' tables into UTF-8, in the
    // order of recode::kByteCodePages, and last one that copies, for UTF-8 and ASCII.
    std::vector<recode::TextConverter> converters;
};

// "input 2": which of the command line's files a message is about, counted from 1.
std::string Nth(std::string_view what, std::size_t index) {
    return std::string(what) + " " + std::to_string(index + 1);
}

// A table into UTF-8: every replacement is UTF-8, and some character takes more than one byte.
bool MakesUtf8(const recode::TranslationTable& table) {
    bool valid = true;
    bool multiByte = false;
    const auto note = [&](std::string_view replacement) {
        valid = valid && recode::IsUtf8(replacement);
        multiByte = multiByte || std::ranges::any_of(replacement, [](char c) {
                        return static_cast<unsigned char>(c) > 0x7F;
                    });
    };
    for (int byte = recode::kBlank + 1; byte <= 0xFF; ++byte) {
        if (std::string joined;
            recode::AppendReplacements(table, static_cast<unsigned char>(byte), joined)) {
            note(joined);
        }
    }
    for (const auto& [key, joined] : table.joinedByCharacter()) {
        note(joined);
    }
    return valid && multiByte;
}

// Reads the table in one go, so that a pipe or a FIFO serves as well as a file.
bool loadTable(Run& run) {
    const std::string name = FindTable(run.line.table);
    platform::NativeFile file{};
    if (const platform::ErrorCode code = platform::openForReading(name, file, kNames)) {
        // A name the user never typed needs saying where it came from.
        run.report.badFile(name, recode::describeIoFailure(IoFailure::System(code)) +
                                     (run.line.tableGiven ? "" : kNoTableGiven));
        return false;
    }
    if (FileIdentity identity; platform::identifyFile(file, identity)) {
        run.tableIdentity = identity;
    }
    recode::TextLineReader reader(run.blockSize);
    reader.attach(file);
    recode::LoadTable(run.table, reader);
    reader.close();
    recode::takeIoResult();
    if (reader.failure() || run.table.entryCount() == 0) {
        run.report.badFile(name, reader.failure());
        return false;
    }
    run.makesUtf8 = MakesUtf8(run.table);
    run.converters.emplace_back(run.table);
    return true;
}

// The built-in tables of -t auto; their lines end in CR LF, which a table's entry leaves out.
void loadAutoTables(Run& run) {
    for (const recode::CodePage codePage : recode::kByteCodePages) {
        recode::TranslationTable table(recode::TranslationTable::kNoLimit);
        std::string_view text = recode::TableToUtf8(codePage);
        for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;
             text.remove_prefix(end + 2)) {
            table.store(text.substr(0, end));
        }
        run.converters.emplace_back(table);
    }
    run.converters.emplace_back(recode::TranslationTable(recode::TranslationTable::kNoLimit));
}

// With -t auto, the converter for the input that begins with `beginning`, its choice said; null
// when the input is to be left alone: unknown or, in place, unsure (reported as a bad file), or
// UTF-8 or ASCII in place, where there is nothing to do.
const recode::TextConverter* chooseConverter(Run& run, const std::string& name,
                                             std::string_view beginning, bool inPlace) {
    const recode::CodePageGuess guess = recode::GuessCodePage(beginning);
    const std::string said = "guessed " + DescribeGuess(guess);
    if (guess.kind == recode::CodePageGuess::Kind::Unknown) {
        run.report.badFile(name, "no code page of Cyrillic text fits it; name its table with -t");
        return nullptr;
    }
    if (guess.kind == recode::CodePageGuess::Kind::Ascii ||
        guess.codePage == recode::CodePage::Utf8) {
        run.report.note(name, said + (inPlace ? ", left as it is" : ", copied"));
        return inPlace ? nullptr : &run.converters.back();
    }
    if (inPlace && !guess.confident() && !run.line.force) {
        run.report.badFile(name, said +
                                     ", which is too unsure to replace it by; name its table "
                                     "with -t, or --force takes the guess");
        return nullptr;
    }
    const auto page = static_cast<std::size_t>(guess.codePage);
    run.report.note(name, said + (guess.confident() ? "" : ", unsure") + ", recoded by " +
                              std::string(recode::NamesOf(guess.codePage).tableToUtf8));
    return &run.converters[page];
}

std::optional<FileIdentity> identifyInput(const Run& run, const std::string& name) {
    FileIdentity identity;
    const bool known = name == "-"
                           ? run.streams.input && platform::identifyStandardStream(false, identity)
                           : platform::identifyByName(name, identity, kNames);
    return known ? std::optional(identity) : std::nullopt;
}

// The text of what the line rules dropped, for a message; empty when nothing was.
std::string describeDropped(const recode::TextLineReader::Dropped& dropped) {
    std::string text;
    if (dropped.loneCrs != 0) {
        text = std::to_string(dropped.loneCrs) + (dropped.loneCrs == 1 ? " lone CR" : " lone CRs") +
               ", which --cr-lines reads as line ends";
    }
    if (dropped.afterEndMark) {
        text += std::string(text.empty() ? "" : " and ") +
                "the text after an end-of-file mark, a Ctrl-Z at the start of a line";
    }
    return text;
}

// An input by name, or standard input for "-"; false, reported, when it cannot be opened.
bool openInput(Run& run, const std::string& name, recode::TextLineReader& reader) {
    platform::NativeFile file{};
    if (name == "-" && !run.streams.input) {
        run.report.badFile(name, "standard input is closed");
        return false;
    }
    if (const platform::ErrorCode code = name == "-"
                                             ? platform::duplicateStandardInput(file)
                                             : platform::openForReading(name, file, kNames)) {
        run.report.badFile(name, IoFailure::System(code));
        return false;
    }
    reader.attach(file);
    return true;
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
    std::vector<std::optional<FileIdentity>> inputs;
    for (const std::string& name : run.line.inputs) {
        inputs.push_back(identifyInput(run, name));
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
            run.report.emptyName(Nth("input", i));
            continue;
        }
        if (outputKnown && inputs[i] == output) {
            run.report.badFile(name, kAlsoTheOutput);
            continue;
        }
        if (!openInput(run, name, reader)) {
            continue;
        }
        const recode::TextConverter* converter = &run.converters.front();
        if (run.line.autoTable &&
            (converter = chooseConverter(run, name, reader.peek(), false)) == nullptr) {
            reader.close();
            recode::takeIoResult();
            continue;
        }
        const recode::PassResult result = recode::RecodeText(reader, *converter, writer);
        reader.close();
        recode::takeIoResult();
        if (const std::string dropped = describeDropped(reader.dropped()); !dropped.empty()) {
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

// Files replaced in place, in batches; each one's messages name it as the user did.
class InPlace {
  public:
    explicit InPlace(Run& run) : run_(run), reader_(run.blockSize), writer_(run.blockSize) {
        reader_.setLoneCrEndsLine(run.line.crEndsLines);
    }

    // The file named at `index` (from 0) of the command line's files.
    void recode(const std::string& name, std::size_t index);
    // Replaces the files still waiting in the batch.
    void finish() { replaceBatch(); }

  private:
    // Refuses, with its reason, a file whose recoding would not be what the user wants: by how
    // it begins, before anything is made, or by what the recoding dropped.
    std::optional<std::string_view> refusalOfText(std::string_view beginning) const;
    std::optional<std::string> refusal(const recode::TextLineReader::Dropped& dropped) const;
    void replaceBatch();

    Run& run_;
    recode::TextLineReader reader_;
    recode::TextLineWriter writer_;
    // Every file of the run, by its identity before and after its replacement, with the name
    // that reached it first: a file is replaced once, however many names reach it.
    std::map<FileIdentity, std::string> seen_;
    std::vector<platform::FileReplacement> batch_;
    std::vector<std::string> batchNames_;
};

void InPlace::recode(const std::string& name, std::size_t index) {
    if (name.empty()) {
        return run_.report.emptyName(Nth("file", index));
    }
    platform::FileReplacement replacement;
    if (const platform::ErrorCode code = replacement.open(name, kNames)) {
        return run_.report.badFile(name, IoFailure::System(code));
    }
    if (run_.tableIdentity == replacement.identity()) {
        return run_.report.badFile(name, kIsTheTable);
    }
    if (const auto [first, isNew] = seen_.emplace(replacement.identity(), name); !isNew) {
        return run_.report.note(name, "the same file as " + first->second + ", recoded once");
    }
    reader_.attach(replacement.takeOldFile());
    if (const std::optional<std::string_view> reason = refusalOfText(reader_.peek())) {
        reader_.close();
        recode::takeIoResult();
        return run_.report.badFile(name, *reason);
    }
    const recode::TextConverter* converter = &run_.converters.front();
    if (run_.line.autoTable &&
        (converter = chooseConverter(run_, name, reader_.peek(), true)) == nullptr) {
        reader_.close();
        recode::takeIoResult();
        return;
    }
    if (const platform::ErrorCode code = replacement.makeNewFile()) {
        reader_.close();
        recode::takeIoResult();
        return run_.report.badFile(name, IoFailure::System(code));
    }
    if (FileIdentity made; platform::identifyFile(replacement.newFile(), made)) {
        seen_.emplace(made, name);
    }
    writer_.attach(replacement.newFile());
    const recode::PassResult result = recode::RecodeText(reader_, *converter, writer_);
    const bool written = writer_.detach();
    reader_.close();
    recode::takeIoResult();
    // Whichever file failed, the user knows it by the name given; the old file stays as it was.
    const IoFailure failure = !result.done() ? result.message->failure
                              : !written     ? writer_.failure()
                                             : reader_.failure();
    if (failure) {
        return run_.report.badFile(name, failure);
    }
    if (const std::optional<std::string> reason = refusal(reader_.dropped())) {
        return run_.report.badFile(name, *reason);
    }
    batch_.push_back(std::move(replacement));
    batchNames_.push_back(name);
    if (batch_.size() == kBatchSize) {
        replaceBatch();
    }
}

std::optional<std::string_view> InPlace::refusalOfText(std::string_view beginning) const {
    if (run_.line.force) {
        return std::nullopt;
    }
    if (beginning.find('\0') != std::string_view::npos) {
        return kNotText;
    }
    // A second run of a table into UTF-8 would garble what the first made; text of a code page
    // with letters in it is next to never valid UTF-8.
    const bool highBytes =
        std::ranges::any_of(beginning, [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
    if (run_.makesUtf8 && highBytes && recode::IsUtf8(beginning, true)) {
        return kAlreadyRecoded;
    }
    return std::nullopt;
}

std::optional<std::string> InPlace::refusal(const recode::TextLineReader::Dropped& dropped) const {
    if (run_.line.force || dropped == recode::TextLineReader::Dropped{}) {
        return std::nullopt;
    }
    return "its recoding would drop " + describeDropped(dropped) + "; --force drops it";
}

void InPlace::replaceBatch() {
    std::vector<platform::ErrorCode> codes(batch_.size());
    platform::ReplaceAll(batch_, codes);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] != 0) {
            run_.report.badFile(batchNames_[i], IoFailure::System(codes[i]));
        }
    }
    batch_.clear();
    batchNames_.clear();
}

}  // namespace

int RunRecode(const CommandLine& commandLine, std::size_t blockSize) {
    Run run(commandLine, blockSize);
    // Nothing can be recoded without a table or, when one is named, an output.
    if (commandLine.table.empty() || commandLine.output.empty()) {
        run.report.emptyName(commandLine.table.empty() ? "the table, -t" : "the output, -o");
        return run.report.exitCode();
    }
    if (commandLine.autoTable) {
        loadAutoTables(run);
    } else if (!loadTable(run)) {
        return run.report.exitCode();
    }
    if (commandLine.inPlace) {
        InPlace inPlace(run);
        for (std::size_t i = 0; i < commandLine.inputs.size(); ++i) {
            inPlace.recode(commandLine.inputs[i], i);
        }
        inPlace.finish();
    } else {
        recodeInto(run);
    }
    return run.report.exitCode();
}

}  // namespace cli
