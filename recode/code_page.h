// The Cyrillic code pages that the shipped tables recode, and UTF-8: their names, their tables,
// and the character each byte stands for.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace recode {

// In the order of how common they are, the most common first: of two code pages that give a
// text the same characters, the first is named.
enum class CodePage { Cp1251, Koi8R, Cp866, Koi8U, Iso8859_5, MacCyrillic, Utf8 };

inline constexpr std::array kByteCodePages = {
    CodePage::Cp1251, CodePage::Koi8R,     CodePage::Cp866,
    CodePage::Koi8U,  CodePage::Iso8859_5, CodePage::MacCyrillic,
};

struct CodePageNames {
    std::string_view name;         // as iconv names it
    std::string_view tableToUtf8;  // empty for UTF-8 itself
    std::string_view tableToWin;   // empty for Windows-1251 itself
};

const CodePageNames& NamesOf(CodePage codePage);

// The text of the shipped table into UTF-8 of a code page of bytes, built in.
std::string_view TableToUtf8(CodePage codePage);

// The character of each byte of a code page of bytes, by its table into UTF-8; kNoCharacter for
// a byte that the code page leaves undefined.
inline constexpr char32_t kNoCharacter = 0xFFFFFFFF;
using ByteCharacters = std::array<char32_t, 256>;
const ByteCharacters& CharactersOf(CodePage codePage);

}  // namespace recode
