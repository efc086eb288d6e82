#include "recode/code_page.h"

#include <cstddef>

#include "recode/utf8.h"

namespace recode {
namespace {

#include "embedded_tables.inc"

template <std::size_t N>
constexpr std::string_view Text(const char (&table)[N]) {
    return std::string_view(table, N - 1);
}

// A table into UTF-8 gives every byte above 0x7F its character, and "?" to a byte that its code
// page leaves undefined; the bytes below are ASCII and have no entries.
ByteCharacters Decode(std::string_view table) {
    ByteCharacters characters{};
    for (std::size_t byte = 0; byte < characters.size(); ++byte) {
        characters[byte] = static_cast<char32_t>(byte);
    }
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        std::string_view line = table.substr(0, end);
        table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.size() < 3 || line[1] != '=') {
            continue;
        }
        const std::string_view replacement = line.substr(2);
        const Utf8Unit unit = ReadUtf8(replacement);
        const bool one = unit.form == Utf8Form::Character && unit.length == replacement.size();
        characters[static_cast<unsigned char>(line[0])] =
            one && replacement != "?" ? unit.codePoint : kNoCharacter;
    }
    return characters;
}

}  // namespace

const CodePageNames& NamesOf(CodePage codePage) {
    static constexpr CodePageNames kNames[] = {
        {"CP1251", "win2utf8.tab", ""},
        {"KOI8-R", "koi2utf8.tab", "koi2win.tab"},
        {"CP866", "dos2utf8.tab", "dos2win.tab"},
        {"KOI8-U", "koiu2utf8.tab", "koiu2win.tab"},
        {"ISO-8859-5", "iso2utf8.tab", "iso2win.tab"},
        {"MAC-CYRILLIC", "mac2utf8.tab", "mac2win.tab"},
        {"UTF-8", "", "utf82win.tab"},
    };
    return kNames[static_cast<std::size_t>(codePage)];
}

std::string_view TableToUtf8(CodePage codePage) {
    static constexpr std::string_view kTables[] = {
        Text(kTable_win2utf8),
        Text(kTable_koi2utf8),
        Text(kTable_dos2utf8),
        Text(kTable_koiu2utf8),
        Text(kTable_iso2utf8),
        Text(kTable_mac2utf8),
        {},
    };
    return kTables[static_cast<std::size_t>(codePage)];
}

const ByteCharacters& CharactersOf(CodePage codePage) {
    static const std::array<ByteCharacters, kByteCodePages.size()> kCharacters = [] {
        std::array<ByteCharacters, kByteCodePages.size()> all{};
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i] = Decode(TableToUtf8(kByteCodePages[i]));
        }
        return all;
    }();
    return kCharacters[static_cast<std::size_t>(codePage)];
}

}  // namespace recode
