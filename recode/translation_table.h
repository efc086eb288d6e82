// The translation table: which bytes the recoding pass replaces, and by what.
//
// Each non-empty line of the table file is one entry. Its key is its first byte; its replacement
// is what follows the first "=" (at most 65535 bytes), or the whole line when it has no "=".
// Several entries with one key all apply, in file order. In a table of UTF-8 characters the key
// is the line's first character instead, 1 to 4 bytes; a line that begins with no valid
// character has no key and never applies.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "recode/text_line_reader.h"

namespace recode {

constexpr std::size_t kMaxReplacementLength = 65535;
// Bytes at or below the blank are always copied: an entry keyed by one never applies.
constexpr unsigned char kBlank = 0x20;

// What a key is: a byte, or a character in UTF-8. A table that begins with a UTF-8 byte-order mark
// is of characters, whatever it was made as.
enum class TableKind { Bytes, Utf8 };

// The replacement that an entry line stands for.
std::string_view ReplacementOf(std::string_view entryLine);

class TranslationTable {
  public:
    // Room for every entry of a table read once, as a pipe can only be.
    static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

    explicit TranslationTable(std::size_t capacity, TableKind kind = TableKind::Bytes);

    // Stores a non-empty entry line at the next free place; a full table refuses it.
    void store(std::string_view entryLine);
    std::size_t entryCount() const { return stored_; }

    TableKind kind() const { return kind_; }
    // Before the first entry is stored: the byte-order mark is met on the first line.
    void readAsUtf8() { kind_ = TableKind::Utf8; }

    // Per key character of more than one byte, the replacements of its entries joined in table
    // order; the keys of one byte are looked up as bytes.
    using JoinedByCharacter = std::map<std::string, std::string, std::less<>>;
    const JoinedByCharacter& joinedByCharacter() const { return joinedByCharacter_; }

  private:
    friend bool AppendReplacements(const TranslationTable& table, unsigned char c,
                                   std::string& out);

    std::size_t capacity_;
    TableKind kind_;
    std::size_t stored_ = 0;
    // Per key, the replacements of all its entries joined in table order: a walk over every
    // entry reduced to one lookup, with the same bytes in the same order.
    std::array<std::string, 256> joinedReplacements_;
    std::bitset<256> hasEntry_;
    JoinedByCharacter joinedByCharacter_;
};

// The entry line a table line stands for: itself, or on the table's first line what follows a
// byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view line, bool firstLine);

// Counts the non-empty lines of a freshly opened table file; leaves the reader at its end.
std::size_t CountTableLines(TextLineReader& reader);

// Fills the table from a reader opened again at the file's beginning; lines past the capacity
// are read but not stored.
void LoadTable(TranslationTable& table, TextLineReader& reader);

// Appends the replacements of every entry keyed by c, in table order. False, with `out`
// unchanged, when no entry has that key. In a table of characters, c is a character of one
// byte.
bool AppendReplacements(const TranslationTable& table, unsigned char c, std::string& out);

}  // namespace recode
