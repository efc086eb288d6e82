#!/usr/bin/python3
"""How often lettermill-recode --guess names the right code page, beside uchardet and
enca -L russian, and the time each takes per file.

The labelled set: Russian prose from Debian's fortunes-ru 1.52-3.1 (its UTF-8 files), a text the
guesser's model (manpages-ru, manpages-uk, hunspell-be) never saw. Samples of 16, 32, 64, 128,
256 and 1024 characters cut at line starts (so as many bytes in a code page of bytes), at least
one of them a letter beyond ASCII, each written in CP1251, KOI8-R, KOI8-U, CP866, ISO-8859-5,
Mac Cyrillic and UTF-8, the same samples for every tool. A guess is right when decoding the file
with it gives the sample's text: KOI8-U for Russian text written in KOI8-R is right.

usage: guess_bench.py LETTERMILL_RECODE WORK_DIR [SAMPLES_PER_LENGTH]
"""

import pathlib
import random
import re
import subprocess
import sys
import time

PACKAGE, VERSION = "fortunes-ru", "1.52-3.1"
LENGTHS = [16, 32, 64, 128, 256, 1024]
CODECS = ["cp1251", "koi8_r", "koi8_u", "cp866", "iso8859_5", "mac_cyrillic", "utf-8"]
# The tools' names for the code pages, as python's codecs know them.
ALIASES = {"windows1251": "cp1251", "ibm866": "cp866", "maccyrillic": "mac_cyrillic",
           "xmaccyrillic": "mac_cyrillic", "ascii": "ascii"}


def fetch_text(work):
    folder = work / "package"
    if not folder.exists():
        work.mkdir(parents=True, exist_ok=True)
        subprocess.run(["apt-get", "download", f"{PACKAGE}={VERSION}"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        (deb,) = work.glob(f"{PACKAGE}_*.deb")
        subprocess.run(["dpkg-deb", "-x", str(deb), str(folder)], check=True)
    lines = []
    for path in sorted(folder.glob("usr/share/games/fortunes/ru/*.u8")):
        for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
            line = line.strip()
            if line and line != "%" and not line.startswith("--"):
                lines.append(line)
    return lines


def encodable(text):
    try:
        for codec in CODECS:
            text.encode(codec)
    except UnicodeEncodeError:
        return False
    return True


def make_samples(lines, length, count, rng):
    text = "\n".join(lines) + "\n"
    starts = [0] + [m.end() for m in re.finditer("\n", text)][:-1]
    samples = []
    while len(samples) < count:
        start = rng.choice(starts)
        sample = text[start:start + length]
        if len(sample) == length and not sample.isascii() and encodable(sample):
            samples.append(sample)
    return samples


def codec_of(answer):
    key = re.sub(r"[-_ ]", "", answer.strip().lower())
    key = ALIASES.get(key, key)
    for codec in CODECS + ["ascii"]:
        if re.sub(r"[-_]", "", codec) == key:
            return codec
    try:
        import codecs
        return codecs.lookup(answer.strip()).name
    except LookupError:
        return None


def run_tool(command, files):
    """The tool's answer per file, and the seconds it took for all of them."""
    begin = time.perf_counter()
    done = subprocess.run(command + [str(f) for f in files], capture_output=True, text=True)
    seconds = time.perf_counter() - begin
    answers = {}
    for line in done.stdout.splitlines():
        name, _, answer = line.rpartition(": ")
        answers[name] = answer.split(" (")[0]
    return [answers.get(str(f), "") for f in files], seconds


def right(data, text, answer):
    codec = codec_of(answer) if answer else None
    if codec is None:
        return False
    try:
        return data.decode(codec) == text
    except (UnicodeDecodeError, LookupError):
        return False


def main():
    program, work = sys.argv[1], pathlib.Path(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    rng = random.Random(18)
    lines = fetch_text(work)
    tools = {
        "lettermill-recode --guess": [program, "--guess"],
        "uchardet": ["uchardet"],
        "enca -L russian": ["enca", "-L", "russian", "-i"],
    }
    print(f"{count} samples per length in each of {len(CODECS)} code pages "
          f"({count * len(CODECS)} files per length), from {PACKAGE} {VERSION}\n")
    print("| length | " + " | ".join(f"{t} right" for t in tools) + " | "
          + " | ".join(f"{t} µs/file" for t in tools) + " |")
    print("|---" * (1 + 2 * len(tools)) + "|")
    wrong_examples = []
    for length in LENGTHS:
        wrong_here = 0
        folder = work / f"set-{length}"
        folder.mkdir(parents=True, exist_ok=True)
        files, truth = [], []
        for i, sample in enumerate(make_samples(lines, length, count, rng)):
            for codec in CODECS:
                path = folder / f"{i:04d}.{codec}.txt"
                data = sample.encode(codec)
                path.write_bytes(data)
                files.append(path)
                truth.append((data, sample))
        accuracy, times = [], []
        for tool, command in tools.items():
            answers, seconds = run_tool(command, files)
            hits = 0
            for path, (data, sample), answer in zip(files, truth, answers):
                ok = right(data, sample, answer)
                hits += ok
                if not ok and tool.startswith("lettermill") and wrong_here < 5:
                    wrong_here += 1
                    wrong_examples.append(f"{folder.name}/{path.name}: {answer!r} for {sample!r}")
            accuracy.append(f"{100 * hits / len(files):.2f} %")
            times.append(f"{1e6 * seconds / len(files):.0f}")
        print(f"| {length} | " + " | ".join(accuracy) + " | " + " | ".join(times) + " |")
    if wrong_examples:
        print("\nlettermill-recode --guess was wrong on (at most five per length):")
        print("\n".join(wrong_examples))


if __name__ == "__main__":
    main()
