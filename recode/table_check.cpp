#include "recode/table_check.h"

#include <cstdio>
#include <cstdint>
#include <map>
#include <string_view>

#include "recode/utf8.h"

namespace recode {
namespace {

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(byte));
        text.append(text.empty() ? "" : " ").append(hex);
    }
    return text;
}

// A key of one byte, or a character of a table of characters, which a terminal shows as such.
std::string describeKey(std::string_view key) {
    const auto first = static_cast<unsigned char>(key.front());
    if ((first > kBlank && first < 0x7F) || key.size() > 1) {
        return std::string("'").append(key).append("'");
    }
    return hexBytes(key);
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

// The key of an entry line: its first byte, or in a table of characters its first character;
// empty when it begins with none.
std::string_view keyOf(std::string_view entry, TableKind kind) {
    if (kind == TableKind::Bytes) {
        return entry.substr(0, 1);
    }
    const Utf8Unit unit = ReadUtf8(entry);
    return unit.form == Utf8Form::Character ? entry.substr(0, unit.length) : std::string_view();
}

// What may surprise in one entry line, apart from keys it shares with other lines.
std::vector<std::string> surprisesOf(std::string_view entry, std::string_view key) {
    if (key.empty()) {
        return {"entry never applies: it begins with " + hexBytes(entry.substr(0, 1)) +
                ", which begins no valid UTF-8 character here"};
    }
    if (static_cast<unsigned char>(key.front()) <= kBlank) {
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
        if (equals > key.size()) {
            const std::size_t ignored = equals - key.size();
            surprises.push_back(counted(ignored, "byte", "bytes") +
                                " between the key and the first \"=\" " +
                                (ignored == 1 ? "is" : "are") + " ignored");
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

TableCheck CheckTable(TextLineReader& reader, TableKind kind) {
    TableCheck check;
    std::map<std::string, std::size_t, std::less<>> firstLineOfKey;
    std::size_t lineNumber = 0;
    std::uint64_t loneCrsBefore = 0;
    bool utf8KeySaid = false;
    while (!reader.atEnd()) {
        const std::string_view read = reader.readLine();
        const std::string_view line = WithoutByteOrderMark(read, lineNumber == 0);
        ++lineNumber;
        if (line.size() != read.size()) {
            kind = TableKind::Utf8;
        }
        // Past the start, the mark is the character U+FEFF, which editors hide.
        if (kind == TableKind::Utf8 && line.find(kByteOrderMark) != std::string_view::npos) {
            check.findings.push_back(
                {lineNumber,
                 "holds a byte-order mark, which only the table's first bytes can be: "
                 "here it is the invisible character U+FEFF"});
        }
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
        const std::string_view key = keyOf(line, kind);
        // A table saved as UTF-8 without its mark: every key of a letter would be cut in two.
        if (const Utf8Unit unit = ReadUtf8(line); kind == TableKind::Bytes && !utf8KeySaid &&
                                                  unit.form == Utf8Form::Character &&
                                                  unit.length > 1) {
            utf8KeySaid = true;
            check.findings.push_back(
                {lineNumber, "begins with a UTF-8 character of " + std::to_string(unit.length) +
                                 " bytes, but a key is one byte here: a table of characters "
                                 "begins with a byte-order mark (or use --utf8)"});
        }
        for (std::string& surprise : surprisesOf(line, key)) {
            check.findings.push_back({lineNumber, std::move(surprise)});
        }
        if (key.empty() || static_cast<unsigned char>(key.front()) <= kBlank) {
            continue;
        }
        if (const auto [first, isNew] = firstLineOfKey.emplace(key, lineNumber); !isNew) {
            check.findings.push_back(
                {lineNumber, "key " + describeKey(key) + " already has an entry on line " +
                                 std::to_string(first->second) + ": the replacements are joined"});
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
