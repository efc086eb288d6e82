#include "recode/translation_table.h"

namespace recode {

std::string_view ReplacementOf(std::string_view entryLine) {
    const std::size_t equals = entryLine.find('=');
    const std::size_t start = equals == std::string_view::npos ? 0 : equals + 1;
    return entryLine.substr(start, kMaxReplacementLength);
}

TranslationTable::TranslationTable(std::size_t capacity) : capacity_(capacity) {}

void TranslationTable::store(std::string_view entryLine) {
    if (stored_ == capacity_) {
        return;
    }
    ++stored_;
    const auto key = static_cast<unsigned char>(entryLine.front());
    joinedReplacements_[key].append(ReplacementOf(entryLine));
    hasEntry_.set(key);
}

std::size_t CountTableLines(TextLineReader& reader) {
    std::size_t count = 0;
    while (!reader.atEnd()) {
        if (!reader.readLine().empty()) {
            ++count;
        }
    }
    return count;
}

void LoadTable(TranslationTable& table, TextLineReader& reader) {
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
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
