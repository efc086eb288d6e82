#include "recode/recoding_pass.h"

#include <optional>

#include "recode/line_converter.h"
#include "recode/translation_table.h"

namespace recode {
namespace {

void report(DialogOperations& dialog, std::string_view text, Field field, IoResult code = 0) {
    dialog.showMessage(PassMessage{text, field, code});
}

// Steps up to the end of the input; returns early at the first failure, which it has reported.
void recode(DialogOperations& dialog, PassFiles& files, std::optional<TranslationTable>& table) {
    // All three names are read and tested before any file is touched.
    std::string names[3];
    const Field fields[3] = {Field::Input, Field::Table, Field::Output};
    for (int i = 0; i < 3; ++i) {
        names[i] = dialog.readField(fields[i]);
        if (names[i].empty()) {
            report(dialog, kFileNameIsEmpty, fields[i]);
            dialog.focusField(fields[i]);
            return;
        }
    }
    const std::string& inputName = names[0];
    const std::string& tableName = names[1];
    const std::string& outputName = names[2];

    files.input.open(inputName);
    if (const IoResult code = takeIoResult()) {
        return report(dialog, kBadFile, Field::Input, code);
    }
    files.table.open(tableName);
    if (const IoResult code = takeIoResult()) {
        return report(dialog, kBadFile, Field::Table, code);
    }
    const std::size_t entryCount = CountTableLines(files.table);
    if (entryCount == 0) {
        return report(dialog, kBadFile, Field::Table);
    }
    table.emplace(entryCount);
    files.table.open(tableName);
    LoadTable(*table, files.table);
    files.table.close();

    // The table is closed before the output is created, so a table may be its own output. The
    // code taken here also carries a failure left by reading the table.
    files.output.create(outputName);
    if (const IoResult code = takeIoResult()) {
        return report(dialog, kBadFile, files.output.hasFailed() ? Field::Output : Field::Table,
                      code);
    }

    LineConverter converter(*table);
    while (!files.input.atEnd()) {
        files.output.writeLine(converter.convert(files.input.readLine()));
    }

    // A read or write failure, or a last block that did not reach the disk, would otherwise leave
    // a cut output that looks like a finished one.
    files.output.close();
    files.input.close();
    if (const IoResult code = takeIoResult()) {
        report(dialog, kBadFile, files.output.hasFailed() ? Field::Output : Field::Input, code);
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
