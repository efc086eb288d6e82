#include "recode/recoding_pass.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "recode/translation_table.h"
#include "recode/utf8.h"

namespace recode {
namespace {

// Keeps the first of the failures it is shown.
class FirstFailure {
  public:
    void note(IoFailure failure) {
        if (!failure_) {
            failure_ = failure;
        }
    }
    IoFailure failure() const { return failure_; }

  private:
    IoFailure failure_;
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
// rest of the text. A character that the end of the text cuts is kept in `cut`, to be finished by
// the next piece's first bytes: pieces end where the read blocks do.
void writeConverted(const TextConverter& converter, std::string_view text, TextLineWriter& output,
                    std::string& cut) {
    while (!cut.empty() && !text.empty()) {
        const std::size_t added = std::min(text.size(), kLongestCharacter - cut.size());
        const std::string joined = cut + std::string(text.substr(0, added));
        const TextConverter::Unit unit = converter.firstUnit(joined);
        if (unit.length == 0) {
            cut = joined;
            return;
        }
        output.write(unit.replacement);
        // A cut beginning that turned out to be none leaves continuation bytes, which begin none.
        if (unit.length < cut.size()) {
            cut.erase(0, unit.length);
        } else {
            text.remove_prefix(unit.length - cut.size());
            cut.clear();
        }
    }
    while (!text.empty() && !output.failure()) {
        const TextConverter::Converted converted = converter.convertSome(text, output.room());
        output.commit(converted.made);
        text.remove_prefix(converted.taken);
        if (converted.taken == 0) {
            const TextConverter::Unit unit = converter.firstUnit(text);
            if (unit.length == 0) {
                cut.assign(text);
                return;
            }
            output.write(unit.replacement);
            text.remove_prefix(unit.length);
        }
    }
}

}  // namespace

void PassFiles::close() {
    // Files that are not open any more only leave the code 103, which is dropped.
    output.close();
    input.close();
    table.close();
    takeIoResult();
}

PassResult Recode(const PassNames& names, PassFiles& files) {
    // All three names are tested before any file is touched.
    using Named = std::pair<Field, const std::string*>;
    for (const auto& [field, name] :
         {Named{Field::Input, &names.input}, Named{Field::Table, &names.table},
          Named{Field::Output, &names.output}}) {
        if (name->empty()) {
            return {PassMessage{MessageKind::FileNameIsEmpty, field, {}}};
        }
    }

    files.input.open(names.input);
    if (takeIoResult() != 0) {
        return PassResult::BadFile(Field::Input, files.input.failure());
    }
    files.table.open(names.table);
    if (takeIoResult() != 0) {
        return PassResult::BadFile(Field::Table, files.table.failure());
    }
    FirstFailure tableFailure;
    const std::optional<TranslationTable> table = readTable(files.table, names.table, tableFailure);
    if (!table) {
        // No entries, or none could be read: the output is not touched.
        return PassResult::BadFile(Field::Table, tableFailure.failure());
    }

    // The table is closed before the output is created, so a table may be its own output. The
    // code taken here also carries a failure left by reading the table, which came first.
    files.output.create(names.output);
    if (takeIoResult() != 0) {
        return tableFailure.failure() ? PassResult::BadFile(Field::Table, tableFailure.failure())
                                      : PassResult::BadFile(Field::Output, files.output.failure());
    }

    const PassResult recoded = RecodeText(files.input, TextConverter(*table), files.output);
    // A last block that did not reach the disk would otherwise leave a cut output that looks like
    // a finished one. The output is closed before the input: that is the order to blame them in.
    files.output.close();
    files.input.close();
    takeIoResult();
    if (!recoded.done()) {
        return recoded;
    }
    if (files.output.failure()) {
        return PassResult::BadFile(Field::Output, files.output.failure());
    }
    if (files.input.failure()) {
        return PassResult::BadFile(Field::Input, files.input.failure());
    }
    return {};
}

// The input comes as text with its lines already ended in CR LF, in pieces of many lines or part
// of one, and is converted ends and all: CR and LF are never replaced. Every line ends in CR LF,
// so only a failure to read can leave a character cut; what of it was read is written as it came.
PassResult RecodeText(TextLineReader& input, const TextConverter& converter,
                      TextLineWriter& output) {
    std::string cut;
    while (!input.failure() && !output.failure()) {
        const std::string_view text = input.readText();
        if (text.empty()) {
            break;
        }
        writeConverted(converter, text, output, cut);
        output.showWholeLines();
    }
    if (!cut.empty()) {
        output.write(cut);
    }
    // The loop stops at the first failure of either file.
    if (input.failure()) {
        return PassResult::BadFile(Field::Input, input.failure());
    }
    if (output.failure()) {
        return PassResult::BadFile(Field::Output, output.failure());
    }
    return {};
}

}  // namespace recode
