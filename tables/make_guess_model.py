#!/usr/bin/python3
"""Writes recode/guess_model.inc, the model by which lettermill-recode --guess tells a code page:
how often each letter follows each character in Russian, Ukrainian and Belarusian, and how often
a capital follows a small letter or a capital.

Run from anywhere with Debian's Python (it calls apt-get download and dpkg-deb, no root needed):
/usr/bin/python3 tables/make_guess_model.py

The text comes from these Debian packages, fetched at these versions so that the model is the
same wherever it is made:

  manpages-ru 4.18.1-1  the Russian manual pages (GPL-3+): Russian
  manpages-uk 4.18.1-1  the Ukrainian manual pages (GPL-3+): Ukrainian
  hunspell-be 0.53-3.1  the Belarusian spelling dictionary (CC-BY-SA), its words one a line:
                        no prose, but every letter pair of the language's words

The benchmark (bench/make_guess_set.py) draws its samples from another package, fortunes-ru.

Every character is one of these symbols: a gap (ASCII that is no letter: blanks, digits,
punctuation), a Latin letter, one of the Cyrillic letters below, case folded, one of the
typographic marks of Cyrillic text (no-break space, quotes, dashes, ellipsis, numero sign: each
its own, as where they stand tells a code page's capital from another's mark), or another
character (which text in these languages next to never holds, so its cost is kept high), and
a line end apart from other gaps, as sentences begin there more often than anywhere (a manual
page's source begins each sentence on a line of its own). A CR is no symbol; a run of gaps and
line ends is one symbol, a line end if it holds one. Costs are
-ln(probability) in hundredths, of a symbol after a symbol per language, and of a letter's case
after the case before it (no letter, small, capital, the start of a line, the start of a
sentence) for all three languages together.
"""

import collections
import gzip
import math
import pathlib
import re
import subprocess
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
OUTPUT = HERE.parent / "recode" / "guess_model.inc"

PACKAGES = {
    "russian": ("manpages-ru", "4.18.1-1"),
    "ukrainian": ("manpages-uk", "4.18.1-1"),
    "belarusian": ("hunspell-be", "0.53-3.1"),
}

LETTERS = "абвгдежзийклмнопрстуфхцчшщъыьэюяёєіїґў"
MARKS = "\u00a0«»„“”‘’‚–—…№"
GAP, LATIN, FIRST_LETTER = 0, 1, 2
FIRST_MARK = FIRST_LETTER + len(LETTERS)
LINE = FIRST_MARK + len(MARKS)
OTHER = LINE + 1
SYMBOLS = OTHER + 1
NO_LETTER, SMALL, CAPITAL, LINE_START, SENTENCE_START = 0, 1, 2, 3, 4
# A sentence begins after these, and with the text; a word of plain ASCII letters or digits
# between ("e.g. the", "1.5 files") says it did not.
SENTENCE_ENDS = ".!?\u2026"

SMOOTHING = 0.5
# Text of these languages holds next to no other characters: one in ten thousand at most, in or
# out of one.
OTHER_FLOOR = -math.log(1e-4)
# A Cyrillic letter next to a Latin one is no sign of a wrong code page: words typed with a
# letter of the other script that looks the same (Cyrillic "р" in "рolizei") are common enough.
MIXED_SCRIPT_CEILING = -math.log(1 / 400)
SCALE = 100
MAX_COST = 3000


def symbol(c):
    if c == "\n":
        return LINE
    if c.isascii():
        return LATIN if c.isalpha() else GAP
    if c in MARKS:
        return FIRST_MARK + MARKS.index(c)
    lower = c.lower()
    return FIRST_LETTER + LETTERS.index(lower) if lower in LETTERS else OTHER


def case(c):
    if c.isascii() or c.lower() not in LETTERS:
        return NO_LETTER
    return SMALL if c == c.lower() else CAPITAL


def fetch(package, version, folder):
    subprocess.run(["apt-get", "download", f"{package}={version}"], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL)
    (deb,) = pathlib.Path(folder).glob(f"{package}_*.deb")
    root = pathlib.Path(folder) / package
    subprocess.run(["dpkg-deb", "-x", str(deb), str(root)], check=True)
    return root


def man_text(root):
    texts = []
    for page in sorted(root.glob("usr/share/man/**/*.gz")):
        text = gzip.decompress(page.read_bytes()).decode("utf-8", "replace")
        # Headings are in capitals, which prose is not.
        text = re.sub(r"^\.(SH|SS|TH) .*$", "", text, flags=re.M)
        # The formatter's escapes and requests are no words of the language.
        text = re.sub(r"\\(f[A-Z]|f\[[^]]*\]|\(..|\[[^]]*\]|.)", " ", text)
        texts.append(re.sub(r"^\.[A-Za-z]+", " ", text, flags=re.M))
    return "\n".join(texts)


def dictionary_words(root):
    (dic,) = root.glob("usr/share/hunspell/*.dic")
    lines = dic.read_text(encoding="utf-8").splitlines()[1:]
    # Words of a list begin no sentences: they are taken as one line.
    return " ".join(line.split("/")[0] for line in lines)


def is_letter(s):
    return FIRST_LETTER <= s < FIRST_MARK


def costs(counts, totals, width, other=None, height=None):
    rows = []
    for a in range(height or width):
        row = []
        for b in range(width):
            p = (counts[a, b] + SMOOTHING) / (totals[a] + SMOOTHING * width)
            cost = -math.log(p)
            if other is not None and other in (a, b):
                cost = max(cost, OTHER_FLOOR)
            elif other is not None and {a, b} & {LATIN} and (is_letter(a) or is_letter(b)):
                cost = min(cost, MIXED_SCRIPT_CEILING)
            row.append(min(MAX_COST, round(cost * SCALE)))
        rows.append(row)
    return rows


def main():
    counted = {}
    cases = collections.Counter()
    case_totals = collections.Counter()
    with tempfile.TemporaryDirectory() as folder:
        for language, (package, version) in PACKAGES.items():
            root = fetch(package, version, folder)
            text = dictionary_words(root) if package.startswith("hunspell") else man_text(root)
            counts = collections.Counter()
            totals = collections.Counter()
            before, before_case = LINE, LINE_START
            sentence = True
            for c in text:
                if c == "\r":
                    continue
                if c in SENTENCE_ENDS:
                    sentence = True
                elif c.isascii() and c.isalnum():
                    sentence = False
                s = symbol(c)
                if s in (GAP, LINE) and before in (GAP, LINE):
                    if LINE in (s, before):
                        before, before_case = LINE, LINE_START
                    continue
                counts[before, s] += 1
                totals[before] += 1
                k = case(c)
                if k != NO_LETTER and package.startswith("manpages"):
                    state = SENTENCE_START if sentence else before_case
                    cases[state, k] += 1
                    case_totals[state] += 1
                if k != NO_LETTER:
                    sentence = False
                before, before_case = s, LINE_START if s == LINE else k
            counted[language] = counts, totals
    # What follows a line end or a mark is the typography's more than the language's, and the
    # Belarusian word list has neither: those rows are counted over all three languages.
    pooled = set(range(FIRST_MARK, SYMBOLS))
    all_counts = sum((counts for counts, _ in counted.values()), collections.Counter())
    all_totals = sum((totals for _, totals in counted.values()), collections.Counter())
    pairs = {}
    for language, (counts, totals) in counted.items():
        for (a, b), n in all_counts.items():
            if a in pooled:
                counts[a, b] = n
        for a in pooled:
            totals[a] = all_totals[a]
        pairs[language] = costs(counts, totals, SYMBOLS, other=OTHER)
    case_costs = costs(cases, case_totals, 3, height=5)

    def table(rows):
        return "\n".join("    {" + ", ".join(map(str, row)) + "}," for row in rows)

    out = [
        "// Made by tables/make_guess_model.py from manpages-ru 4.18.1-1, manpages-uk 4.18.1-1 and",
        "// hunspell-be 0.53-3.1; do not edit. Costs are -ln(probability) in hundredths.",
        f"inline constexpr int kGuessCostScale = {SCALE};",
        f"inline constexpr int kGuessSymbols = {SYMBOLS};",
        f"inline constexpr int kGuessLanguages = {len(PACKAGES)};",
        "// The Cyrillic letters of the model, small; symbol 2 is the first, the last symbol other.",
        "inline constexpr char32_t kGuessLetters[] = {"
        + ", ".join(f"0x{ord(c):04X}" for c in LETTERS) + "};",
        "// The typographic marks of the model; the first follows the last letter, the line end",
        "// the last mark.",
        "inline constexpr char32_t kGuessMarks[] = {"
        + ", ".join(f"0x{ord(c):04X}" for c in MARKS) + "};",
        "// Per language (" + ", ".join(PACKAGES) + "): the cost of a symbol after a symbol.",
        "inline constexpr short kGuessPairCosts[kGuessLanguages][kGuessSymbols][kGuessSymbols] = {",
    ]
    for language in PACKAGES:
        out += ["{", table(pairs[language]), "},"]
    out += [
        "};",
        "// The cost of a letter's case (small, capital) after the case before it (no letter,",
        "// small, capital, the start of a line, the start of a sentence); the first column, no",
        "// letter, is unused.",
        "inline constexpr short kGuessCaseCosts[5][3] = {",
        table(case_costs),
        "};",
    ]
    OUTPUT.write_text("\n".join(out) + "\n", encoding="utf-8")
    print(f"wrote {OUTPUT}: {SYMBOLS} symbols, case costs {case_costs}")


if __name__ == "__main__":
    main()
