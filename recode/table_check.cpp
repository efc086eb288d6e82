#include "recode/table_check.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "recode/translation_table.h"

namespace recode {
namespace {

std::string describeKey(unsigned char key) {
    if (key > kBlank && key < 0x7F) {
        return std::string("'") + static_cast<char>(key) + "'";
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", key);
    return hex;
}

std::string counted(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::size_t trailingBlanks(std::string_view text) {
    std::size_t count = 0;
    while (count < text.size() &&
           (text[text.size() - 1 - count] == ' ' || text[text.size() - 1 - count] == '\t')) {
        ++count;
    }
    return count;
}

// What may surprise in one entry line, apart from keys it shares with other lines.
std::vector<std::string> surprisesOf(std::string_view entry) {
    const auto key = static_cast<unsigned char>(entry.front());
    if (key <= kBlank) {
        return {"entry never applies: its key " + describeKey(key) + " is at or below the blank"};
    }
    std::vector<std::string> surprises;
    const std::size_t equals = entry.find('=');
    std::size_t fullLength = entry.size();
    if (equals == std::string_view::npos) {
        surprises.push_back("no \"=\": the whole line replaces the key " + describeKey(key));
    } else {
        fullLength -= equals + 1;
        // For the key "=" the first "=" is the key itself.
        if (equals > 1) {
            surprises.push_back(counted(equals - 1, "byte", "bytes") +
                                " between the key and the first \"=\" " +
                                (equals == 2 ? "is" : "are") + " ignored");
        }
    }
    if (fullLength > kMaxReplacementLength) {
        surprises.push_back("replacement of " + std::to_string(fullLength) + " bytes is cut to " +
                            std::to_string(kMaxReplacementLength));
    }
    // A replacement of nothing but blanks cannot have them by mistake.
    const std::string_view replacement = ReplacementOf(entry);
    if (const std::size_t blanks = trailingBlanks(replacement);
        blanks != 0 && blanks != replacement.size()) {
        surprises.push_back("replacement ends in " + counted(blanks, "blank", "blanks"));
    }
    return surprises;
}

}  // namespace

TableCheck CheckTable(TextLineReader& reader) {
    TableCheck check;
    std::array<std::size_t, 256> firstLineOfKey{};  // 0: no entry yet
    std::size_t lineNumber = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        ++lineNumber;
        if (line.empty()) {
            continue;
        }
        ++check.entries;
        for (std::string& surprise : surprisesOf(line)) {
            check.findings.push_back({lineNumber, std::move(surprise)});
        }
        const auto key = static_cast<unsigned char>(line.front());
        if (key <= kBlank) {
            continue;
        }
        if (firstLineOfKey[key] == 0) {
            firstLineOfKey[key] = lineNumber;
        } else {
            check.findings.push_back({lineNumber, "key " + describeKey(key) +
                                                      " already has an entry on line " +
                                                      std::to_string(firstLineOfKey[key]) +
                                                      ": the replacements are joined"});
        }
    }
    return check;
}

}  // namespace recode
