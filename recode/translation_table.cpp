#include "recode/translation_table.h"

#include "recode/utf8.h"

namespace recode {

std::string_view ReplacementOf(std::string_view entryLine) {
    const std::size_t equals = entryLine.find('=');
    const std::size_t start = equals == std::string_view::npos ? 0 : equals + 1;
    return entryLine.substr(start, kMaxReplacementLength);
}

TranslationTable::TranslationTable(std::size_t capacity, TableKind kind)
    : capacity_(capacity), kind_(kind) {}

void TranslationTable::store(std::string_view entryLine) {
    if (stored_ == capacity_) {
        return;
    }
    ++stored_;
    const auto key = static_cast<unsigned char>(entryLine.front());
    if (kind_ == TableKind::Utf8 && key >= 0x80) {
        if (const Utf8Unit unit = ReadUtf8(entryLine); unit.form == Utf8Form::Character) {
            joinedByCharacter_[std::string(entryLine.substr(0, unit.length))].append(
                ReplacementOf(entryLine));
        }
        return;
    }
    joinedReplacements_[key].append(ReplacementOf(entryLine));
    hasEntry_.set(key);
}

std::string_view WithoutByteOrderMark(std::string_view line, bool firstLine) {
    if (firstLine && line.starts_with(kByteOrderMark)) {
        line.remove_prefix(kByteOrderMark.size());
    }
    return line;
}

std::size_t CountTableLines(TextLineReader& reader) {
    std::size_t count = 0;
    for (bool first = true; !reader.atEnd(); first = false) {
        if (!WithoutByteOrderMark(reader.readLine(), first).empty()) {
            ++count;
        }
    }
    return count;
}

void LoadTable(TranslationTable& table, TextLineReader& reader) {
    for (bool first = true; !reader.atEnd(); first = false) {
        const std::string_view read = reader.readLine();
        const std::string_view line = WithoutByteOrderMark(read, first);
        if (line.size() != read.size()) {
            table.readAsUtf8();
        }
        if (!line.empty()) {
            table.store(line);
        }
    }
}

bool AppendReplacements(const TranslationTable& table, unsigned char c, std::string& out) {
    if (!table.hasEntry_[c]) {
        return false;
    }
    out.append(table.joinedReplacements_[c]);
    return true;
}

}  // namespace recode
