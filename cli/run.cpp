#include "cli/run.h"

#include "cli/guess_command.h"
#include "cli/table_search.h"
#include "recode/code_page_guess.h"
#include "recode/utf8.h"

namespace cli {
namespace {

using platform::FileIdentity;
using recode::IoFailure;

constexpr const char* kNoTableGiven =
    ": no -t TABLE was given, and no folder searched holds the default table; "
    "lettermill-recode --list-tables shows the tables it finds";

// A table into UTF-8: every replacement is UTF-8, and some character takes more than one byte.
bool MakesUtf8(const recode::TranslationTable& table) {
    bool valid = true;
    bool multiByte = false;
    const auto note = [&](std::string_view replacement) {
        valid = valid && recode::IsUtf8(replacement);
        multiByte = multiByte || recode::HasNonAscii(replacement);
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

}  // namespace

std::string Nth(std::string_view what, std::size_t index) {
    return std::string(what) + " " + std::to_string(index + 1);
}

bool LoadTables(Run& run) {
    if (run.line.autoTable) {
        loadAutoTables(run);
        return true;
    }
    return loadTable(run);
}

const recode::TextConverter* ConverterFor(Run& run, const std::string& name,
                                          std::string_view beginning, bool inPlace) {
    return run.line.autoTable ? chooseConverter(run, name, beginning, inPlace)
                              : &run.converters.front();
}

std::string DescribeDropped(const recode::TextLineReader::Dropped& dropped) {
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

bool OpenInput(Run& run, const std::string& name, recode::TextLineReader& reader) {
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

}  // namespace cli
