#!/usr/bin/env python3
"""Times lettermill-recode against the tools a user would pick instead, in one run.

Every peer's output is first compared byte for byte with Lettermill's; only identical peers are
timed as peers (iconv's transliteration is shown as a reference, and cat and dd as floors).
hyperfine times whole processes; the table gives medians, MB/s of input and each command's time
over Lettermill's, and the goals Lettermill's time against cat's, tr's and iconv's.

usage: compare.py BENCH_BUILD_DIR [RUNS]
"""
import json
import os
import platform
import re
import shlex
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1])
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
DATA = os.path.join(BUILD, "data")
OUT = os.path.join(BUILD, "out")
RECODE = os.path.join(BUILD, "lettermill-recode")
HERE = os.path.dirname(os.path.abspath(__file__))


def read_table(path):
    """The table as the pass reads it: per key byte, its entries' replacements joined."""
    with open(path, "rb") as f:
        data = f.read()
    end = data.find(b"\n\x1a")
    data = data[: end + 1] if end >= 0 else (b"" if data.startswith(b"\x1a") else data)
    joined = {}
    for line in data.split(b"\n"):
        line = line.replace(b"\r", b"")
        if not line:
            continue
        equals = line.find(b"=")
        replacement = (line[equals + 1:] if equals >= 0 else line)[:65535]
        if line[0] > 0x20:
            joined[line[0]] = joined.get(line[0], b"") + replacement
    return joined


def sed_script(joined, path):
    def escape(b):
        return b"".join(b"\\" + bytes([c]) if c in b"\\/&.[]*^$" else bytes([c]) for c in b)
    keys = set(joined)
    if any(c in keys for r in joined.values() for c in r):
        raise SystemExit("a replacement holds a key: sed's substitutions would cascade")
    with open(path, "wb") as f:
        for key, replacement in sorted(joined.items()):
            f.write(b"s/" + escape(bytes([key])) + b"/" + escape(replacement) + b"/g\n")


def octal(data):
    return "".join(f"\\{c:03o}" for c in data)


PERL_1N = r"""
BEGIN { open my $t, '<:raw', shift @ARGV or die; local $/; my $d = <$t>;
        for (split /\n/, $d) { s/\r//g; next unless length; my $k = substr($_, 0, 1);
          next if ord($k) <= 32; my $p = index($_, '='); $m{$k} .= $p < 0 ? $_ : substr($_, $p + 1) }
        my $c = join '', map { quotemeta } keys %m; $re = qr/([$c])/ }
s/$re/$m{$1}/g;
"""

PYTHON_1N = r"""
import sys
table = {}
for line in open(sys.argv[1], 'rb').read().split(b'\n'):
    line = line.replace(b'\r', b'')
    if line and line[0] > 32:
        i = line.find(b'=')
        table[line[0]] = table.get(line[0], '') + (line[i + 1:] if i >= 0 else line).decode('latin-1')
out = sys.stdout.buffer
for lines in iter(lambda: sys.stdin.buffer.readlines(1 << 20), []):
    out.write(b''.join(lines).decode('latin-1').translate(table).encode('latin-1'))
"""

PYTHON_11 = r"""
import sys
table = {}
for line in open(sys.argv[1], 'rb').read().split(b'\n'):
    line = line.replace(b'\r', b'')
    if line and line[0] > 32:
        table[line[0]] = line[line.find(b'=') + 1:]
m = bytes.maketrans(bytes(table), b''.join(table.values()))
out = sys.stdout.buffer
for chunk in iter(lambda: sys.stdin.buffer.read(1 << 20), b''):
    out.write(chunk.translate(m))
"""


PYTHON_UTF8 = r"""
import io
import sys
table = {}
for line in open(sys.argv[1], 'rb').read().decode('utf-8-sig').split('\n'):
    line = line.replace('\r', '')
    if line and line[0] > ' ':
        i = line.find('=')
        table[ord(line[0])] = table.get(ord(line[0]), '') + (line[i + 1:] if i >= 0 else line)
text = io.TextIOWrapper(sys.stdin.buffer, encoding='utf-8', newline='')
out = io.TextIOWrapper(sys.stdout.buffer, encoding='utf-8', newline='')
for lines in iter(lambda: text.readlines(1 << 20), []):
    out.write(''.join(lines).translate(table))
out.flush()
"""


def commands(table_name, kind):
    """(name, role, shell command writing to $OUT) for one scenario; role: self, peer, reference,
    floor."""
    table = os.path.join(DATA, table_name)
    corpus = os.path.join(DATA, "corpus.txt")
    q = shlex.quote
    if kind in ("from UTF-8 1:N", "from UTF-8"):
        # The same corpus in UTF-8; the lines keep their CR LF ends.
        corpus = os.path.join(DATA, "corpus-utf8.txt")
        result = [("lettermill-recode", "self", f"{q(RECODE)} -t {q(table)} -o $OUT {q(corpus)}")]
        if kind == "from UTF-8 1:N":
            py = os.path.join(DATA, "recode_utf8.py")
            with open(py, "w") as f:
                f.write(PYTHON_UTF8)
            result += [("python3 (str.translate)", "peer",
                        f"python3 {q(py)} {q(table)} < {q(corpus)} > $OUT"),
                       ("uconv -x Russian-Latin/BGN", "reference",
                        f"uconv -f UTF-8 -t UTF-8 -x Russian-Latin/BGN {q(corpus)} > $OUT")]
        else:
            result += [("iconv", "peer", f"iconv -f UTF-8 -t CP1251 {q(corpus)} > $OUT"),
                       ("uconv", "peer", f"uconv -f UTF-8 -t windows-1251 {q(corpus)} > $OUT")]
        return result + [("cat", "floor", f"cat {q(corpus)} > $OUT"),
                         ("dd bs=64K", "floor", f"dd if={q(corpus)} of=$OUT bs=64K status=none")]
    joined = read_table(table)
    result = [("lettermill-recode", "self", f"{q(RECODE)} -t {q(table)} -o $OUT {q(corpus)}")]
    if kind == "UTF-8":
        # The converters a user would pick instead; the corpus has no character they disagree on.
        result += [("iconv", "peer", f"iconv -f CP1251 -t UTF-8 {q(corpus)} > $OUT"),
                   ("recode", "peer", f"recode CP1251/..UTF-8/ < {q(corpus)} > $OUT"),
                   ("uconv", "peer", f"uconv -f windows-1251 -t UTF-8 {q(corpus)} > $OUT")]
    if kind == "1:1":
        keys = bytes(sorted(joined))
        values = b"".join(joined[k] for k in sorted(joined))
        result.append(("tr", "peer", f"tr '{octal(keys)}' '{octal(values)}' < {q(corpus)} > $OUT"))
    # sed and perl take half a minute over the corpus; they are timed for the byte recoder's own
    # jobs, not for a code page conversion.
    if kind != "UTF-8":
        script = os.path.join(DATA, table_name + ".sed")
        sed_script(joined, script)
        result.append(("sed", "peer", f"LC_ALL=C sed -f {q(script)} {q(corpus)} > $OUT"))
        perl = os.path.join(DATA, "recode.pl")
        with open(perl, "w") as f:
            f.write(PERL_1N)
        result.append(("perl", "peer", f"perl -p {q(perl)} {q(table)} < {q(corpus)} > $OUT"))
    py = os.path.join(DATA, "recode_11.py" if kind == "1:1" else "recode_1n.py")
    with open(py, "w") as f:
        f.write(PYTHON_11 if kind == "1:1" else PYTHON_1N)
    name = "python3 (bytes.translate)" if kind == "1:1" else "python3 (str.translate)"
    result.append((name, "peer", f"python3 {q(py)} {q(table)} < {q(corpus)} > $OUT"))
    if kind == "1:N":
        result.append(("iconv -t ascii//TRANSLIT", "reference",
                       f"iconv -f CP1251 -t ASCII//TRANSLIT {q(corpus)} > $OUT"))
    result.append(("cat", "floor", f"cat {q(corpus)} > $OUT"))
    # cat copies inside the kernel; dd with 64 KiB blocks brings every byte through user space,
    # as any recoder must, with the blocks lettermill-recode uses.
    result.append(("dd bs=64K", "floor", f"dd if={q(corpus)} of=$OUT bs=64K status=none"))
    result.append(("dd bs=128", "floor", f"dd if={q(corpus)} of=$OUT bs=128 status=none"))
    return result


def run(command, out):
    """Runs a command once; returns its wall time."""
    start = time.monotonic()
    subprocess.run(["bash", "-c", command.replace("$OUT", shlex.quote(out))], check=True)
    return time.monotonic() - start


# Commands slower than this are timed once: the peers that take a minute over the corpus
# would otherwise take the better part of an hour, and their ratio is clear from one run.
SLOW_SECONDS = 5


def same_files(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def hyperfine(named_commands, runs, warmup=1):
    report = os.path.join(OUT, "hyperfine.json")
    args = ["hyperfine", "--warmup", str(warmup), "--runs", str(runs), "--export-json", report,
            "--style", "none"]
    for name, command in named_commands:
        args += ["-n", name, command]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    with open(report) as f:
        return {r["command"]: r for r in json.load(f)["results"]}


def scenario(title, table_name, kind):
    corpus_name = "corpus-utf8.txt" if kind.startswith("from UTF-8") else "corpus.txt"
    corpus_mb = os.path.getsize(os.path.join(DATA, corpus_name)) / 1e6
    entries = commands(table_name, kind)
    reference = os.path.join(OUT, "lettermill.txt")
    run(entries[0][2], reference)
    timed = []
    slow = set()
    for name, role, command in entries:
        out = os.path.join(OUT, re.sub(r"\W+", "-", name) + ".txt")
        if role == "self":
            out = reference
        elif run(command, out) > SLOW_SECONDS:
            slow.add(name)
        identical = same_files(out, reference) if role != "floor" else None
        if role == "peer" and not identical:
            print(f"  {name}: output differs from Lettermill's; not timed as a peer")
            role = "differs"
        timed.append((name, role, identical, command.replace("$OUT", shlex.quote(out))))
    results = hyperfine([(n, c) for n, _, _, c in timed if n not in slow], RUNS)
    for name, _, _, command in timed:
        if name in slow:
            results.update(hyperfine([(name, command)], 1, warmup=0))
    base = results["lettermill-recode"]["median"]
    print(f"\n### {title}\n")
    print(f"Input {corpus_mb:.0f} MB; median of {RUNS} runs after a warm-up, one run for "
          f"commands slower than {SLOW_SECONDS} s.\n")
    print("| command | role | identical | runs | median s | MB/s | time / Lettermill's |")
    print("|---|---|---|---:|---:|---:|---:|")
    for name, role, identical, _ in timed:
        median = results[name]["median"]
        same = "-" if identical is None else ("yes" if identical else "no")
        runs = 1 if name in slow else RUNS
        print(f"| {name} | {role} | {same} | {runs} | {median:.3f} | {corpus_mb / median:.0f} | "
              f"{median / base:.2f} |")
    return results


def table_scaling():
    corpus = os.path.join(DATA, "corpus.txt")
    names = ["scale-1.tab", "scale-100.tab", "scale-10000.tab", "win2trans.tab",
             "win2trans-keyed-100.tab"]
    outputs = {}
    commands_ = []
    for name in names:
        out = os.path.join(OUT, name + ".txt")
        command = f"{shlex.quote(RECODE)} -t {shlex.quote(os.path.join(DATA, name))} -o {out} " \
                  f"{shlex.quote(corpus)}"
        run(command, out)
        outputs[name] = out
        commands_.append((name, command))
    assert all(same_files(outputs[n], corpus) for n in names[:3]), "scale tables changed bytes"
    assert same_files(outputs["win2trans.tab"], outputs["win2trans-keyed-100.tab"])
    results = hyperfine(commands_, RUNS)
    print("\n### Cost and table size\n")
    print("| table | entries | entries per key | median s |")
    print("|---|---:|---:|---:|")
    for name in names:
        with open(os.path.join(DATA, name), "rb") as f:
            lines = [l for l in f.read().split(b"\r\n") if l]
        per_key = max(sum(1 for l in lines if l[:1] == k) for k in {l[:1] for l in lines})
        print(f"| {name} | {len(lines)} | {per_key} | {results[name]['median']:.3f} |")


def time_transliteration(title, column, inputs):
    """Times win2trans.tab over each (label, path) and prints seconds and MB/s."""
    table = shlex.quote(os.path.join(DATA, "win2trans.tab"))
    commands_ = [(label, f"{shlex.quote(RECODE)} -t {table} -o {OUT}/scaling.txt "
                         f"{shlex.quote(path)}") for label, path in inputs]
    results = hyperfine(commands_, RUNS)
    print(f"\n### {title}\n")
    print(f"| {column} | median s | MB/s |")
    print("|---|---:|---:|")
    for label, path in inputs:
        median = results[label]["median"]
        print(f"| {label} | {median:.4f} | {os.path.getsize(path) / 1e6 / median:.0f} |")


def line_length_scaling():
    """The corpus re-wrapped into lines of about 80 bytes, 5 KB and 1 MB: the same bytes
    otherwise, so the time per byte shows what a line costs."""
    with open(os.path.join(DATA, "corpus.txt"), "rb") as f:
        words = f.read(30_000_000).replace(b"\r\n", b" ").split(b" ")
    inputs = []
    for label, width in (("~80 B", 80), ("~5 KB", 5000), ("~1 MB", 1_000_000)):
        path = os.path.join(DATA, f"lines-{width}.txt")
        lines, line, size = [], [], 0
        for word in words:
            line.append(word)
            size += len(word) + 1
            if size >= width:
                lines.append(b" ".join(line))
                line, size = [], 0
        lines.append(b" ".join(line))
        with open(path, "wb") as f:
            f.write(b"\r\n".join(lines) + b"\r\n")
        inputs.append((label, path))
    time_transliteration("Cost and line length (30 MB, win2trans.tab)", "line length", inputs)


def input_size_scaling():
    inputs = []
    for megabytes in (1, 10, 100):
        path = os.path.join(DATA, f"first-{megabytes}.txt")
        with open(os.path.join(DATA, "corpus.txt"), "rb") as f, open(path, "wb") as out:
            data = f.read(megabytes * 1_000_000)
            out.write(data[: data.rfind(b"\r\n") + 2])
        inputs.append((f"{megabytes} MB", path))
    time_transliteration("Cost and input size (win2trans.tab)", "input", inputs)


def utf8_corpus():
    """The corpus in UTF-8, as iconv makes it; utf82trans.tab must give it exactly what
    win2trans.tab gives the corpus itself."""
    corpus = os.path.join(DATA, "corpus.txt")
    utf8 = os.path.join(DATA, "corpus-utf8.txt")
    subprocess.run(f"iconv -f CP1251 -t UTF-8 {shlex.quote(corpus)} > {shlex.quote(utf8)}",
                   shell=True, check=True)
    outputs = []
    for table, text in (("win2trans.tab", corpus), ("utf82trans.tab", utf8)):
        outputs.append(os.path.join(OUT, "same-" + table + ".txt"))
        run(f"{shlex.quote(RECODE)} -t {shlex.quote(os.path.join(DATA, table))} -o $OUT "
            f"{shlex.quote(text)}", outputs[-1])
    assert same_files(*outputs), "utf82trans.tab and win2trans.tab disagree on the corpus"


def peak_memory():
    """Peak resident memory of passes over 1 GB streamed through pipes (short lines), and over
    the long-line files: memory follows the longest line, never the file."""
    table = shlex.quote(os.path.join(DATA, "win2trans.tab"))
    corpus = shlex.quote(os.path.join(DATA, "corpus.txt"))
    print("\n### Peak memory\n")
    print("| input | peak resident KB |")
    print("|---|---:|")
    utf8 = shlex.quote(os.path.join(DATA, "corpus-utf8.txt"))
    utf82trans = shlex.quote(os.path.join(DATA, "utf82trans.tab"))
    cases = [("1 GB of ~80-byte lines, through pipes",
              f"for i in $(seq 10); do cat {corpus}; done | "
              f"/usr/bin/time -f %M -o {OUT}/rss {shlex.quote(RECODE)} -t {table} | cat > /dev/null"),
             ("10 times the corpus in UTF-8 through utf82trans.tab, through pipes",
              f"for i in $(seq 10); do cat {utf8}; done | "
              f"/usr/bin/time -f %M -o {OUT}/rss {shlex.quote(RECODE)} -t {utf82trans} | "
              f"cat > /dev/null")]
    for width, label in ((5000, "~5 KB lines"), (1_000_000, "~1 MB lines")):
        path = shlex.quote(os.path.join(DATA, f"lines-{width}.txt"))
        cases.append((f"30 MB of {label}", f"/usr/bin/time -f %M -o {OUT}/rss "
                                           f"{shlex.quote(RECODE)} -t {table} -o {OUT}/m.txt {path}"))
    for label, command in cases:
        subprocess.run(["bash", "-c", "set -o pipefail; " + command], check=True)
        with open(os.path.join(OUT, "rss")) as f:
            print(f"| {label} | {f.read().strip()} |")


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    cores = os.cpu_count()
    with open("/proc/meminfo") as f:
        memory = int(f.readline().split()[1]) // (1024 * 1024)
    tools = {}
    for tool, args in (("sed", ["--version"]), ("tr", ["--version"]), ("perl", ["-e", "print $^V"]),
                       ("python3", ["--version"]), ("iconv", ["--version"]),
                       ("recode", ["--version"]), ("uconv", ["--version"]),
                       ("hyperfine", ["--version"])):
        text = subprocess.run([tool] + args, capture_output=True, text=True).stdout
        tools[tool] = text.strip().splitlines()[0] if text.strip() else "?"
    return (f"{cpu}, {cores} cores, {memory} GiB, {platform.platform()}; "
            + "; ".join(f"{k}: {v}" for k, v in tools.items()))


def main():
    os.makedirs(OUT, exist_ok=True)
    print(f"Machine: {machine()}")
    results = {
        "1:N": scenario("Transliteration: win2trans.tab (1:N)", "win2trans.tab", "1:N"),
        "1:1": scenario("One byte for one: upper.tab (1:1)", "upper.tab", "1:1"),
        "UTF-8": scenario("Windows-1251 to UTF-8: win2utf8.tab", "win2utf8.tab", "UTF-8"),
    }
    utf8_corpus()
    results["from UTF-8 1:N"] = scenario("Transliteration of UTF-8: utf82trans.tab (1:N)",
                                         "utf82trans.tab", "from UTF-8 1:N")
    results["from UTF-8"] = scenario("UTF-8 to Windows-1251: utf82win.tab", "utf82win.tab",
                                     "from UTF-8")
    print("\n### Goals\n")
    print("| job | Lettermill's time / reference's | goal |")
    print("|---|---:|---|")
    for kind, reference, goal in (("1:N", "cat", "at most 3"), ("1:1", "tr", "at most 0.5"),
                                  ("UTF-8", "iconv", "at most 0.4"),
                                  ("from UTF-8 1:N", "cat", "at most 3"),
                                  ("from UTF-8 1:N", "uconv -x Russian-Latin/BGN", "at most 0.05"),
                                  ("from UTF-8", "iconv", "below 1")):
        ratio = results[kind]["lettermill-recode"]["median"] / results[kind][reference]["median"]
        print(f"| {kind} | {ratio:.2f} x {reference} | {goal} |")
    table_scaling()
    line_length_scaling()
    input_size_scaling()
    peak_memory()


if __name__ == "__main__":
    main()
