// UTF-8 as RFC 3629 has it: which bytes make a character, and which make none.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace recode {

// Windows editors begin UTF-8 text with it; it is what tells a table of characters.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::size_t kLongestCharacter = 4;

// What the bytes at a place in a text are.
enum class Utf8Form {
    Character,
    // The first byte begins no character: a stray continuation byte, a byte never used, or the
    // beginning of an overlong or surrogate form or of one past U+10FFFF.
    NotACharacter,
    // The text ends inside a character that its bytes so far begin validly.
    Cut,
};

struct Utf8Unit {
    Utf8Form form;
    std::size_t length;  // of the character; 1 for a byte that begins none; what is left if cut
    char32_t codePoint;  // of a character
};

namespace utf8_detail {

// Per lead byte: the character's length and the range of its second byte, which rules out the
// overlong and surrogate forms and the code points past U+10FFFF. Length 0: begins none.
struct Lead {
    std::uint8_t length;
    std::uint8_t low;
    std::uint8_t high;
};

constexpr std::array<Lead, 256> MakeLeads() {
    std::array<Lead, 256> leads{};
    for (int b = 0; b < 0x80; ++b) {
        leads[b] = {1, 0, 0};
    }
    for (int b = 0xC2; b <= 0xF4; ++b) {
        const std::uint8_t length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        leads[b] = {length, 0x80, 0xBF};
    }
    leads[0xE0].low = 0xA0;
    leads[0xED].high = 0x9F;
    leads[0xF0].low = 0x90;
    leads[0xF4].high = 0x8F;
    return leads;
}

inline constexpr std::array<Lead, 256> kLeads = MakeLeads();

}  // namespace utf8_detail

// The unit that begins at `at`, before `end`.
inline Utf8Unit ReadUtf8(const char* at, const char* end) {
    const auto first = static_cast<unsigned char>(*at);
    const utf8_detail::Lead lead = utf8_detail::kLeads[first];
    if (lead.length <= 1) {
        return {lead.length == 1 ? Utf8Form::Character : Utf8Form::NotACharacter, 1, first};
    }
    char32_t codePoint = first & (0x7F >> lead.length);
    for (std::size_t i = 1; i < lead.length; ++i) {
        if (at + i == end) {
            return {Utf8Form::Cut, i, 0};
        }
        const auto next = static_cast<unsigned char>(at[i]);
        if (next < (i == 1 ? lead.low : 0x80) || next > (i == 1 ? lead.high : 0xBF)) {
            return {Utf8Form::NotACharacter, 1, 0};
        }
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    return {Utf8Form::Character, lead.length, codePoint};
}

inline Utf8Unit ReadUtf8(std::string_view text) {
    return ReadUtf8(text.data(), text.data() + text.size());
}

// Whether the text holds a byte above 0x7F: in UTF-8, a character beyond ASCII.
inline bool HasNonAscii(std::string_view text) {
    return std::ranges::any_of(text, [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
}

// Whether the text is whole characters of UTF-8, the last one maybe cut when `cutEnd` allows it,
// as at the end of a block of a longer text.
inline bool IsUtf8(std::string_view text, bool cutEnd = false) {
    for (const char* at = text.data(); at != text.data() + text.size();) {
        const Utf8Unit unit = ReadUtf8(at, text.data() + text.size());
        if (unit.form == Utf8Form::NotACharacter || (unit.form == Utf8Form::Cut && !cutEnd)) {
            return false;
        }
        at += unit.length;
    }
    return true;
}

// UTF-8 with a whole character beyond ASCII, the last one maybe cut as at the end of a block of
// a longer text: what text of a code page of bytes, with letters in it, next to never is.
inline bool IsUtf8Text(std::string_view text) {
    bool beyondAscii = false;
    for (const char* at = text.data(); at != text.data() + text.size();) {
        const Utf8Unit unit = ReadUtf8(at, text.data() + text.size());
        if (unit.form == Utf8Form::NotACharacter) {
            return false;
        }
        beyondAscii = beyondAscii || (unit.form == Utf8Form::Character && unit.length > 1);
        at += unit.length;
    }
    return beyondAscii;
}

}  // namespace recode
