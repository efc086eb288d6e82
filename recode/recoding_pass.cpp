#include "recode/recoding_pass.h"

#include <array>
#include <optional>

#include "recode/text_converter.h"
#include "recode/translation_table.h"

namespace recode {
namespace {

constexpr std::array<Field, 3> kFieldsInOrder = {Field::Input, Field::Table, Field::Output};

void reportBadFile(DialogOperations& dialog, Field field, IoResult code) {
    dialog.showMessage({MessageKind::BadFile, field, code});
}

// Keeps the first of the failures it is shown.
class FirstFailure {
  public:
    void note(IoResult code) {
        if (code_ == 0) {
            code_ = code;
        }
    }
    IoResult code() const { return code_; }

  private:
    IoResult code_ = 0;
};

// Counts the table's entries and loads them; the table's first failure, if any, is noted.
std::optional<TranslationTable> readTable(TextLineReader& reader, const std::string& name,
                                          FirstFailure& failure) {
    const std::size_t entryCount = CountTableLines(reader);
    failure.note(reader.failure());
    if (entryCount == 0) {
        return std::nullopt;
    }
    TranslationTable table(entryCount);
    // Closed first, so that a failed close is noted before the second opening clears it.
    reader.close();
    failure.note(reader.failure());
    reader.open(name);
    LoadTable(table, reader);
    reader.close();
    failure.note(reader.failure());
    return table;
}

// Converts straight into the output's room; a replacement that does not fit there whole is
// written as text, which the writer cuts into blocks like any other. A failed write drops the
// rest of the text.
void writeConverted(const TextConverter& converter, std::string_view text, TextLineWriter& output) {
    while (!text.empty() && output.failure() == 0) {
        const TextConverter::Converted converted = converter.convertSome(text, output.room());
        output.commit(converted.made);
        text.remove_prefix(converted.taken);
        if (converted.taken == 0) {
            output.write(converter.replacement(text.front()));
            text.remove_prefix(1);
        }
    }
}

// Steps up to the end of the input; returns early at the first failure, which it has reported.
void recode(DialogOperations& dialog, PassFiles& files, std::optional<TranslationTable>& table) {
    // All three names are read and tested before any file is touched.
    std::array<std::string, 3> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = dialog.readField(kFieldsInOrder[i]);
        if (names[i].empty()) {
            dialog.showMessage({MessageKind::FileNameIsEmpty, kFieldsInOrder[i], 0});
            dialog.focusField(kFieldsInOrder[i]);
            return;
        }
    }
    const auto& [inputName, tableName, outputName] = names;

    files.input.open(inputName);
    if (const IoResult code = takeIoResult()) {
        return reportBadFile(dialog, Field::Input, code);
    }
    files.table.open(tableName);
    if (const IoResult code = takeIoResult()) {
        return reportBadFile(dialog, Field::Table, code);
    }
    FirstFailure tableFailure;
    table = readTable(files.table, tableName, tableFailure);
    if (!table) {
        // No entries, or none could be read: the output is not touched.
        return reportBadFile(dialog, Field::Table, tableFailure.code());
    }

    // The table is closed before the output is created, so a table may be its own output. The
    // code taken here also carries a failure left by reading the table, which came first.
    files.output.create(outputName);
    if (takeIoResult() != 0) {
        const bool tableFirst = tableFailure.code() != 0;
        return reportBadFile(dialog, tableFirst ? Field::Table : Field::Output,
                             tableFirst ? tableFailure.code() : files.output.failure());
    }

    // The input comes as text with its lines already ended in CR LF, in pieces of many lines or
    // part of one, and is converted ends and all: CR and LF are never replaced.
    TextConverter converter(*table);
    while (files.input.failure() == 0 && files.output.failure() == 0) {
        const std::string_view text = files.input.readText();
        if (text.empty()) {
            break;
        }
        writeConverted(converter, text, files.output);
        files.output.showWholeLines();
    }

    // A read or write failure, or a last block that did not reach the disk, would otherwise leave
    // a cut output that looks like a finished one. The loop stopped at the first failure of
    // either file, and the output is closed before the input: that is the order to blame them in.
    const IoResult readFailure = files.input.failure();
    files.output.close();
    files.input.close();
    takeIoResult();
    if (readFailure != 0) {
        return reportBadFile(dialog, Field::Input, readFailure);
    }
    if (const IoResult code = files.output.failure()) {
        return reportBadFile(dialog, Field::Output, code);
    }
    if (const IoResult code = files.input.failure()) {
        reportBadFile(dialog, Field::Input, code);
    }
}

}  // namespace

void RecodingPass(DialogOperations& dialog, PassFiles& files) {
    dialog.showBusyCursor();
    dialog.enableGoButton(false);

    std::optional<TranslationTable> table;
    recode(dialog, files, table);

    // Files that are not open any more only leave the code 103, which the last step drops.
    files.output.close();
    files.input.close();
    files.table.close();
    table.reset();
    dialog.enableGoButton(true);
    dialog.restoreCursor();
    takeIoResult();
}

}  // namespace recode
