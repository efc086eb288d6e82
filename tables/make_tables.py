#!/usr/bin/python3
"""Writes the code page tables listed in code-pages.txt, win2icao.tab, and the tables of UTF-8
characters utf82trans.tab and utf82icao.tab.

Run from anywhere with Debian's Python: /usr/bin/python3 tables/make_tables.py

The code page tables come from glibc's iconv, called through the C library as the engine test
calls it, so that the tables and their proof use one converter. Every byte from 0x21 to 0xFF gets
the target's bytes of its character; a byte the source leaves undefined, or whose character the
target lacks, gets "?"; a byte that stays the same needs no entry. A table from UTF-8 is keyed
by characters (it begins with a byte-order mark): every character of the target code page gives
its byte, and a character the code page lacks has no entry, so it is copied. Prints, per table,
the entry count and the bytes that became "?", for tables/README.md.
"""

import ctypes
import ctypes.util
import pathlib
import unicodedata

HERE = pathlib.Path(__file__).resolve().parent
NO_COUNTERPART = b"?"
FIRST_KEY = 0x21  # bytes at or below the blank are always copied

# ICAO Doc 9303 (machine readable travel documents), lower case; a capital gives the same with
# its first letter capitalised. Letters shared with Ukrainian or Belarusian take their Russian
# values, since a byte cannot tell the language.
ICAO = {
    "а": "a", "б": "b", "в": "v", "г": "g", "д": "d", "е": "e", "ё": "e", "ж": "zh",
    "з": "z", "и": "i", "й": "i", "к": "k", "л": "l", "м": "m", "н": "n", "о": "o",
    "п": "p", "р": "r", "с": "s", "т": "t", "у": "u", "ф": "f", "х": "kh", "ц": "ts",
    "ч": "ch", "ш": "sh", "щ": "shch", "ъ": "ie", "ы": "y", "ь": "", "э": "e", "ю": "iu",
    "я": "ia",
    # Ukrainian and Belarusian
    "ґ": "g", "є": "ie", "і": "i", "ї": "i", "ў": "u",
    # Serbian and Macedonian
    "ђ": "d", "ѓ": "g", "ѕ": "dz", "ј": "j", "љ": "lj", "њ": "nj", "ћ": "c", "ќ": "k",
    "џ": "dz",
}

# GOST 7.79-2000 system B for the Cyrillic letters it covers beyond Windows-1251: the letters of
# Russian and Bulgarian before their reforms.
GOST_B_BEYOND_CP1251 = {
    "Ѣ": "Ye", "ѣ": "ye", "Ѳ": "Fh", "ѳ": "fh", "Ѵ": "Yh", "ѵ": "yh", "Ѫ": "O`", "ѫ": "o`",
}
BYTE_ORDER_MARK = "\ufeff".encode()

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_char_p),
                                           ctypes.POINTER(ctypes.c_size_t)] * 2
libc.iconv_close.argtypes = [ctypes.c_void_p]


def converter(source, target):
    """A function from one byte of `source` to its bytes in `target`, None when iconv refuses."""
    handle = libc.iconv_open(target.encode(), source.encode())
    if handle in (None, ctypes.c_void_p(-1).value):
        raise SystemExit(f"iconv knows no conversion from {source} to {target}")

    def convert(byte):
        source_buffer = ctypes.create_string_buffer(bytes([byte]), 1)
        target_buffer = ctypes.create_string_buffer(16)
        source_at = ctypes.cast(source_buffer, ctypes.c_char_p)
        target_at = ctypes.cast(target_buffer, ctypes.c_char_p)
        source_left, target_left = ctypes.c_size_t(1), ctypes.c_size_t(16)
        libc.iconv(handle, None, None, None, None)
        if libc.iconv(handle, ctypes.byref(source_at), ctypes.byref(source_left),
                      ctypes.byref(target_at), ctypes.byref(target_left)) == ctypes.c_size_t(-1).value:
            return None
        return target_buffer.raw[:16 - target_left.value]

    return convert


def write_table(name, replacements):
    """Writes the entries {byte: replacement} as "key=replacement" lines with CR LF."""
    lines = []
    for key, replacement in sorted(replacements.items()):
        # A CR or LF would end the entry early.
        assert not {0x0D, 0x0A} & set(replacement), (name, key)
        if replacement != bytes([key]):
            lines.append(bytes([key]) + b"=" + replacement + b"\r\n")
    (HERE / name).write_bytes(b"".join(lines))
    return len(lines)


def write_character_table(name, replacements):
    """Writes the entries {character: replacement} as "key=replacement" lines with CR LF, in the
    order of the characters, after a byte-order mark."""
    lines = []
    for character, replacement in sorted(replacements.items()):
        assert not {0x0D, 0x0A} & set(replacement), (name, character)
        lines.append(character.encode() + b"=" + replacement + b"\r\n")
    (HERE / name).write_bytes(BYTE_ORDER_MARK + b"".join(lines))
    return len(lines)


def read_table(name):
    """The entries {byte: replacement} of a table of bytes with one entry a key."""
    replacements = {}
    for line in (HERE / name).read_bytes().split(b"\r\n"):
        if line:
            assert line[0] not in replacements, (name, line[0])
            replacements[line[0]] = line.partition(b"=")[2]
    return replacements


def describe(byte, character):
    if character is None:
        return f"{byte:02X} (undefined)"
    return f"{byte:02X} U+{ord(character):04X} {unicodedata.name(character, '(a control)')}"


def report(name, entries, lost):
    print(f"{name}: {entries} entries, {len(lost)} without counterpart")
    for line in lost:
        print("    " + line)


def code_page_tables():
    for row in (HERE / "code-pages.txt").read_text().splitlines():
        if not row or row.startswith("#"):
            continue
        name, source, target = row.split()
        if source == "UTF-8":
            from_utf8_table(name, target)
            continue
        to_target, to_unicode = converter(source, target), converter(source, "UTF-8")
        replacements, lost = {}, []
        for byte in range(FIRST_KEY, 0x100):
            replacements[byte] = to_target(byte)
            if replacements[byte] is None:
                character = to_unicode(byte)
                lost.append(describe(byte, character and character.decode()))
                replacements[byte] = NO_COUNTERPART
        report(name, write_table(name, replacements), lost)


def from_utf8_table(name, target):
    """Every character of the code page, as iconv has it, gives its byte."""
    to_unicode = converter(target, "UTF-8")
    replacements = {}
    for byte in range(FIRST_KEY, 0x100):
        character = to_unicode(byte)
        if character is not None and character != bytes([byte]):
            assert character.decode() not in replacements, (name, byte)
            replacements[character.decode()] = bytes([byte])
    report(name, write_character_table(name, replacements), [])


def transliteration_from_utf8(name, source, beyond):
    """Every character of Windows-1251 gives what `source` gives its byte; `beyond` adds
    letters that Windows-1251 lacks."""
    to_unicode = converter("CP1251", "UTF-8")
    replacements = {}
    for byte, replacement in read_table(source).items():
        character = to_unicode(byte)
        if character is not None:
            replacements[character.decode()] = replacement
    for character, latin in beyond.items():
        assert character not in replacements, character
        replacements[character] = latin.encode()
    report(name, write_character_table(name, replacements), [])


def icao_table():
    """Windows-1251 letters after ICAO Doc 9303; every other byte as win2trans.tab has it."""
    to_unicode = converter("CP1251", "UTF-8")
    replacements = read_table("win2trans.tab")
    lost = []
    for byte in range(0x80, 0x100):
        character = to_unicode(byte)
        if character is None:
            lost.append(describe(byte, None))
            replacements[byte] = NO_COUNTERPART
            continue
        letter = character.decode()
        if letter.lower() in ICAO:
            latin = ICAO[letter.lower()]
            replacements[byte] = (latin.capitalize() if letter.isupper() else latin).encode()
        elif unicodedata.name(letter).startswith("CYRILLIC"):
            raise SystemExit(f"no ICAO value for {letter}")
    report("win2icao.tab", write_table("win2icao.tab", replacements), lost)


code_page_tables()
icao_table()
transliteration_from_utf8("utf82trans.tab", "win2trans.tab", GOST_B_BEYOND_CP1251)
transliteration_from_utf8("utf82icao.tab", "win2icao.tab", {})
