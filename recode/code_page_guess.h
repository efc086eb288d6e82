// Which code page a text is in: the one whose characters read most like Russian, Ukrainian or
// Belarusian, by the frequencies of letters and letter pairs of tables/make_guess_model.py.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "recode/code_page.h"

namespace recode {

// How much of a file a guess reads: more adds nothing but time.
inline constexpr std::size_t kGuessSampleSize = 64 * 1024;
// Below this, a guess is too unsure to write over a file on.
inline constexpr double kConfidentGuess = 0.99;

struct CodePageGuess {
    enum class Kind {
        CodePage,
        Ascii,    // no byte above 0x7F: every code page reads it alike
        Unknown,  // no code page gives text of these languages
    };
    Kind kind = Kind::Unknown;
    CodePage codePage = CodePage::Utf8;
    // The other code pages that give the sample the same characters, equally right.
    std::vector<CodePage> sameText;
    // The chance that the code page is right, as the model has it, from 0 to 1.
    double confidence = 0;

    bool confident() const { return kind == Kind::CodePage && confidence >= kConfidentGuess; }
};

// The guess for a text that begins with `sample`; a character of UTF-8 that the sample's end
// cuts is taken as whole.
CodePageGuess GuessCodePage(std::string_view sample);

}  // namespace recode
