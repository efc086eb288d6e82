#include "recode/code_page_guess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "recode/utf8.h"

namespace recode {
namespace {

#include "recode/guess_model.inc"

constexpr int kGap = 0;
constexpr int kLatin = 1;
constexpr int kFirstLetter = 2;
constexpr int kFirstMark = kFirstLetter + static_cast<int>(std::size(kGuessLetters));
constexpr int kLineEnd = kFirstMark + static_cast<int>(std::size(kGuessMarks));
constexpr int kOther = kLineEnd + 1;
static_assert(kOther == kGuessSymbols - 1);
// A CR is no symbol of the model: CR LF ends a line as LF does.
constexpr int kNoSymbol = 0xFF;
enum Case : std::uint8_t { kNoLetter, kSmall, kCapital, kLineStart, kSentenceStart };
// What a character says of sentences: one ends with it, or a word of plain ASCII letters or
// digits shows that none began ("e.g. the", "1.5 files"). The model counts the same.
enum class Sentence : std::uint8_t { Says, Ends, GoesOn };

// What a byte reads as in one code page: the model's symbol and the letter's case, or nothing
// for a byte that no text of the code page holds (undefined, or a control character that only
// a program's data has).
struct Reading {
    std::uint8_t symbol;
    Case letterCase;
    bool possible;
    Sentence sentence = Sentence::Says;
};
using Readings = std::array<Reading, 256>;

Reading ReadingOf(char32_t c) {
    if (c == kNoCharacter ||
        (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A && c != 0x1B) ||
        (c >= 0x7F && c < 0xA0)) {
        return {kOther, kNoLetter, false};
    }
    if (c == '\r' || c == '\n') {
        return {static_cast<std::uint8_t>(c == '\n' ? kLineEnd : kNoSymbol), kNoLetter, true};
    }
    if (c < 0x80) {
        const bool latin = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        const bool ends = c == '.' || c == '!' || c == '?';
        return {static_cast<std::uint8_t>(latin ? kLatin : kGap), kNoLetter, true,
                ends                              ? Sentence::Ends
                : latin || (c >= '0' && c <= '9') ? Sentence::GoesOn
                                                  : Sentence::Says};
    }
    if (c == 0x2026) {  // the ellipsis
        return {static_cast<std::uint8_t>(
                    kFirstMark + (std::ranges::find(kGuessMarks, c) - std::begin(kGuessMarks))),
                kNoLetter, true, Sentence::Ends};
    }
    if (const auto* mark = std::ranges::find(kGuessMarks, c); mark != std::end(kGuessMarks)) {
        return {static_cast<std::uint8_t>(kFirstMark + (mark - std::begin(kGuessMarks))), kNoLetter,
                true};
    }
    // The capitals of the model's letters: U+0410-U+042F for U+0430-U+044F, U+0400-U+040F for
    // U+0450-U+045F, and one below for U+0491.
    const char32_t small = c >= 0x410 && c <= 0x42F   ? c + 0x20
                           : c >= 0x400 && c <= 0x40F ? c + 0x50
                           : c == 0x490               ? 0x491
                                                      : c;
    const auto* letter = std::ranges::find(kGuessLetters, small);
    if (letter == std::end(kGuessLetters)) {
        return {kOther, kNoLetter, true};
    }
    return {static_cast<std::uint8_t>(kFirstLetter + (letter - std::begin(kGuessLetters))),
            small == c ? kSmall : kCapital, true};
}

const Readings& ReadingsOf(CodePage codePage) {
    static const std::array<Readings, kByteCodePages.size()> kReadings = [] {
        std::array<Readings, kByteCodePages.size()> all{};
        for (std::size_t page = 0; page < all.size(); ++page) {
            const ByteCharacters& characters = CharactersOf(kByteCodePages[page]);
            for (std::size_t byte = 0; byte < 256; ++byte) {
                all[page][byte] = ReadingOf(characters[byte]);
            }
        }
        return all;
    }();
    return kReadings[static_cast<std::size_t>(codePage)];
}

// The cost of the sample read in one code page, in the language that reads it best; nothing
// when the code page cannot hold it. `letters` and `others` count what it reads as.
struct Score {
    long cost = 0;
    std::size_t letters = 0;
    std::size_t others = 0;
};

std::optional<Score> ScoreIn(std::string_view sample, const Readings& readings) {
    Score best{std::numeric_limits<long>::max()};
    for (int language = 0; language < kGuessLanguages; ++language) {
        const auto& pairs = kGuessPairCosts[language];
        Score score;
        // A file begins at the start of a line, and of a sentence.
        int before = kLineEnd;
        Case beforeCase = kLineStart;
        bool sentence = true;
        for (const char c : sample) {
            const Reading reading = readings[static_cast<unsigned char>(c)];
            if (!reading.possible) {
                return std::nullopt;
            }
            sentence = reading.sentence == Sentence::Ends     ? true
                       : reading.sentence == Sentence::GoesOn ? false
                                                              : sentence;
            const bool blank = reading.symbol == kGap || reading.symbol == kLineEnd;
            if (reading.symbol == kNoSymbol) {
                continue;
            }
            // The model counts a run of gaps and line ends as one, a line end if it holds one.
            if (blank && (before == kGap || before == kLineEnd)) {
                if (reading.symbol == kLineEnd) {
                    before = kLineEnd;
                    beforeCase = kLineStart;
                }
                continue;
            }
            score.cost += pairs[before][reading.symbol];
            if (reading.letterCase != kNoLetter) {
                score.cost +=
                    kGuessCaseCosts[sentence ? kSentenceStart : beforeCase][reading.letterCase];
                ++score.letters;
                sentence = false;
            }
            score.others += reading.symbol == kOther;
            before = reading.symbol;
            beforeCase = reading.symbol == kLineEnd ? kLineStart : reading.letterCase;
        }
        if (score.cost < best.cost) {
            best = score;
        }
    }
    return best;
}

// Whether two code pages give the sample the same characters.
bool SameText(std::string_view sample, CodePage a, CodePage b) {
    const ByteCharacters& first = CharactersOf(a);
    const ByteCharacters& second = CharactersOf(b);
    return std::ranges::all_of(sample, [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return first[byte] == second[byte];
    });
}

// A model of letter pairs takes each pair as news of its own, which neighbouring letters are not,
// and so is surer of itself than it should be, on short samples above all: its odds are taken
// as if its costs were this many times smaller. On the benchmark's samples, no wrong guess of
// 16 bytes or more reaches kConfidentGuess, nor then one of a word of two letters.
constexpr double kOverconfidence = 2;

}  // namespace

CodePageGuess GuessCodePage(std::string_view sample) {
    CodePageGuess guess;
    // No text of a code page holds a NUL: a program's data, or UTF-16.
    if (sample.find('\0') != std::string_view::npos) {
        return guess;
    }
    if (!HasNonAscii(sample)) {
        guess.kind = CodePageGuess::Kind::Ascii;
        guess.confidence = 1;
        return guess;
    }
    if (IsUtf8Text(sample)) {
        guess.kind = CodePageGuess::Kind::CodePage;
        guess.confidence = 1;
        return guess;
    }
    std::array<std::optional<Score>, kByteCodePages.size()> scores;
    std::optional<std::size_t> best;
    for (std::size_t page = 0; page < scores.size(); ++page) {
        scores[page] = ScoreIn(sample, ReadingsOf(kByteCodePages[page]));
        // Strictly lower: of equal costs, the more common code page.
        if (scores[page] && (!best || scores[page]->cost < scores[*best]->cost)) {
            best = page;
        }
    }
    if (!best || scores[*best]->others > scores[*best]->letters) {
        return guess;
    }
    guess.kind = CodePageGuess::Kind::CodePage;
    guess.codePage = kByteCodePages[*best];
    // The odds of each other reading against the best, in the model's own terms.
    double odds = 1;
    for (std::size_t page = 0; page < scores.size(); ++page) {
        if (page == *best || !scores[page]) {
            continue;
        }
        if (SameText(sample, guess.codePage, kByteCodePages[page])) {
            guess.sameText.push_back(kByteCodePages[page]);
        } else {
            odds += std::exp(-static_cast<double>(scores[page]->cost - scores[*best]->cost) /
                             (kGuessCostScale * kOverconfidence));
        }
    }
    guess.confidence = 1 / odds;
    return guess;
}

}  // namespace recode
