#include "recode/table_check.h"

#include <array>
#include <cstdio>
#include <cstdint>
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

// What the text ends in, "2 blanks", "1 tab" or "1 blank and 2 tabs", in whatever order they
// stand; empty when it ends in neither.
std::string trailingBlanksAndTabs(std::string_view text) {
    std::size_t blanks = 0;
    std::size_t tabs = 0;
    for (auto at = text.rbegin(); at != text.rend() && (*at == ' ' || *at == '\t'); ++at) {
        ++(*at == ' ' ? blanks : tabs);
    }
    if (tabs == 0) {
        return blanks == 0 ? std::string() : counted(blanks, "blank", "blanks");
    }
    return blanks == 0
               ? counted(tabs, "tab", "tabs")
               : counted(blanks, "blank", "blanks") + " and " + counted(tabs, "tab", "tabs");
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
    // A replacement of nothing but blanks and tabs cannot have them by mistake.
    const std::string_view replacement = ReplacementOf(entry);
    if (replacement.find_last_not_of(" \t") != std::string_view::npos) {
        if (const std::string trailing = trailingBlanksAndTabs(replacement); !trailing.empty()) {
            surprises.push_back("replacement ends in " + trailing);
        }
    }
    return surprises;
}

// The lines from a Ctrl-Z that ended the table on that hold more than a Ctrl-Z where they begin.
// The reader goes on past such a Ctrl-Z with the line it begins, and gives nothing past the end.
std::size_t countLinesWithText(TextLineReader& reader) {
    std::size_t count = 0;
    for (;;) {
        const bool atEnd = reader.atEnd();
        std::string_view line = reader.readLine();
        if (atEnd && line.empty()) {
            return count;
        }
        if (atEnd) {
            line.remove_prefix(1);
        }
        count += line.empty() ? 0 : 1;
    }
}

}  // namespace

TableCheck CheckTable(TextLineReader& reader) {
    TableCheck check;
    std::array<std::size_t, 256> firstLineOfKey{};  // 0: no entry yet
    std::size_t lineNumber = 0;
    std::uint64_t loneCrsBefore = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        ++lineNumber;
        const std::uint64_t loneCrs = reader.dropped().loneCrs - loneCrsBefore;
        loneCrsBefore = reader.dropped().loneCrs;
        if (line.empty()) {
            continue;
        }
        ++check.entries;
        // Lines of classic Mac OS text: the table reads them as one entry.
        if (loneCrs != 0) {
            check.findings.push_back(
                {lineNumber, "holds " +
                                 counted(loneCrs, "lone CR, which does", "lone CRs, which do") +
                                 " not end it: the entries " +
                                 (loneCrs == 1 ? "it hides are" : "they hide are") +
                                 " joined into one replacement"});
        }
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
    if (reader.dropped().afterEndMark) {
        if (const std::size_t unread = countLinesWithText(reader); unread != 0) {
            check.findings.push_back(
                {lineNumber + 1, "a Ctrl-Z where the line begins ends the table: " +
                                     counted(unread, "line", "lines") + " with text from here on " +
                                     (unread == 1 ? "is" : "are") + " never read"});
        }
    }
    return check;
}

}  // namespace recode
