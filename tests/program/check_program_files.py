#!/usr/bin/env python3
"""Checks lettermill.exe as a file: GUI subsystem, system DLLs only, and its resources, read from
the file itself. Given the i686 program as well, checks it the same way and that its resources
are byte for byte those of the x86_64 one.

usage: check_program_files.py X86_64_PROGRAM [I686_PROGRAM]
"""
import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from pe_file import MACHINE_AMD64, MACHINE_I386, PeFile

SOURCE_DIR = Path(__file__).resolve().parents[2]

RT_BITMAP, RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 3, 5, 14, 16, 24
NEUTRAL = 0
RUSSIAN = 1049
BUTTON, EDIT, STATIC = 0x0080, 0x0081, 0x0082

# The main dialog's twelve controls in template order: id, class atom, text, style, rectangle.
MAIN_DIALOG_CONTROLS = [
    (102, BUTTON, " Input ", 0x50020007, (4, 0, 270, 28)),
    (103, EDIT, "input.txt", 0x50810080, (8, 10, 244, 13)),
    (104, BUTTON, "-->", 0x50010300, (252, 10, 18, 13)),
    (108, BUTTON, " Output ", 0x50020007, (4, 30, 270, 28)),
    (109, EDIT, "output.txt", 0x50810080, (8, 40, 244, 13)),
    (110, BUTTON, "<--", 0x50010300, (252, 40, 18, 13)),
    (105, BUTTON, " Table ", 0x50020007, (4, 60, 270, 28)),
    (106, EDIT, "win2trans.tab", 0x50810080, (8, 70, 244, 13)),
    (107, BUTTON, "-->", 0x50010300, (252, 70, 18, 13)),
    (112, BUTTON, "Stay On Top", 0x50010003, (112, 96, 56, 10)),
    (1, BUTTON, "Go!", 0x50010301, (242, 92, 32, 14)),
    (101, BUTTON, "Exit", 0x50010300, (4, 92, 32, 14)),
]

# The About box's thirteen controls in template order: id, style, rectangle; all statics
# without text but "OK".
ABOUT_TEXT_LINE = 0x50020081  # WS_GROUP, SS_NOPREFIX, SS_CENTER
ABOUT_DIALOG_CONTROLS = [
    (113, 0x50000000, (0, 0, 0, 0)),
    (101, 0x5000000E, (8, 56, 2, 2)),
    (102, 0x5000010E, (192, 56, 2, 2)),
    (103, ABOUT_TEXT_LINE, (70, 6, 92, 16)),
    (111, ABOUT_TEXT_LINE, (0, 0, 0, 0)),
    (104, ABOUT_TEXT_LINE, (40, 22, 152, 24)),
    (105, ABOUT_TEXT_LINE, (40, 38, 152, 16)),
    (106, ABOUT_TEXT_LINE, (40, 54, 152, 8)),
    (107, ABOUT_TEXT_LINE, (40, 64, 152, 8)),
    (108, ABOUT_TEXT_LINE, (40, 74, 152, 8)),
    (109, ABOUT_TEXT_LINE, (40, 84, 152, 8)),
    (110, ABOUT_TEXT_LINE, (40, 94, 152, 8)),
    (112, 0x50001301, (100, 110, 32, 12)),
]
# The About box's pictures: resource name, committed file, mask colour as blue, green, red.
ABOUT_BITMAPS = [("ZEDEZIR", "about_photo.bmp", (128, 128, 0)),
                 ("ZQ_LOGO", "about_logo.bmp", (192, 192, 192))]

VERSION_KEYS = ["CompanyName", "FileDescription", "FileVersion", "InternalName",
                "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
                "ProductVersion", "Comments", "Web"]
# Which #define of res/version.h each string comes from.
VERSION_DEFINES = {
    "CompanyName": "LETTERMILL_COMPANY_NAME", "FileDescription": "LETTERMILL_FILE_DESCRIPTION",
    "FileVersion": "LETTERMILL_FILE_VERSION", "InternalName": "LETTERMILL_INTERNAL_NAME",
    "LegalCopyright": "LETTERMILL_LEGAL_COPYRIGHT",
    "LegalTrademarks": "LETTERMILL_LEGAL_TRADEMARKS",
    "OriginalFilename": "LETTERMILL_ORIGINAL_FILENAME", "ProductName": "LETTERMILL_PRODUCT_NAME",
    "ProductVersion": "LETTERMILL_PRODUCT_VERSION", "Comments": "LETTERMILL_COMMENTS",
    "Web": "LETTERMILL_WEB_HOST",
}

# What the C runtime needs besides the DLLs the program calls itself.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
               "shell32.dll", "version.dll", "msvcrt.dll"}

MANIFEST_NAMESPACE = "{urn:schemas-microsoft-com:asm.v1}"

PROGRAMS = {}  # "x86_64" and possibly "i686": PeFile


class Reader:
    """Little-endian fields and UTF-16 strings of a resource, front to back."""

    def __init__(self, data, at=0):
        self.data, self.at = data, at

    def take(self, layout):
        values = struct.unpack_from("<" + layout, self.data, self.at)
        self.at += struct.calcsize("<" + layout)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def text_or_atom(self):
        """A 0xFFFF marker followed by a number, or a string (empty for none)."""
        if struct.unpack_from("<H", self.data, self.at)[0] == 0xFFFF:
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def parse_dialog_ex(data):
    reader = Reader(data)
    header = dict(zip(
        ["version", "signature", "help_id", "ex_style", "style", "count", "x", "y", "cx", "cy"],
        reader.take("HHIIIHhhhh")))
    header["menu"] = reader.text_or_atom()
    header["class"] = reader.text_or_atom()
    header["title"] = reader.text()
    header["font"] = reader.take("HHBB") + (reader.text(),)
    controls = []
    for _ in range(header["count"]):
        reader.align()
        help_id, ex_style, style, x, y, cx, cy, control_id = reader.take("IIIhhhhI")
        window_class = reader.text_or_atom()
        text = reader.text_or_atom()
        extra = reader.take("H")
        controls.append(dict(help_id=help_id, ex_style=ex_style, style=style, rect=(x, y, cx, cy),
                             id=control_id, window_class=window_class, text=text, extra=extra))
        reader.at += extra
    return header, controls, reader.at


def parse_dialog(data):
    """A dialog template in the classic layout, with its font."""
    reader = Reader(data)
    header = dict(zip(["style", "ex_style", "count", "x", "y", "cx", "cy"],
                      reader.take("IIHhhhh")))
    header["menu"] = reader.text_or_atom()
    header["class"] = reader.text_or_atom()
    header["title"] = reader.text()
    header["font"] = (reader.take("H"), reader.text())
    controls = []
    for _ in range(header["count"]):
        reader.align()
        style, ex_style, x, y, cx, cy, control_id = reader.take("IIhhhhH")
        window_class = reader.text_or_atom()
        text = reader.text_or_atom()
        extra = reader.take("H")
        controls.append(dict(style=style, ex_style=ex_style, rect=(x, y, cx, cy), id=control_id,
                             window_class=window_class, text=text, extra=extra))
        reader.at += extra
    return header, controls, reader.at


def parse_version_node(data, at=0):
    """One node of a version resource: (key, value, children). Text values come as str."""
    reader = Reader(data, at)
    length, value_length, value_type = reader.take("HHH")
    key = reader.text()
    reader.align()
    if value_type == 1:
        value = data[reader.at:reader.at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        reader.at += 2 * value_length
    else:
        value = data[reader.at:reader.at + value_length]
        reader.at += value_length
    children = []
    while True:
        reader.align()
        if reader.at >= at + length:
            return key, value, children
        child = parse_version_node(data, reader.at)
        children.append(child)
        reader.at += struct.unpack_from("<H", data, reader.at)[0]


def version_header_defines():
    text = (SOURCE_DIR / "res" / "version.h").read_text()
    return dict(re.findall(r'^#define (\w+) "([^"]*)"', text, re.MULTILINE))


def icon_file_images():
    data = (SOURCE_DIR / "res" / "lettermill.ico").read_bytes()
    count = struct.unpack_from("<H", data, 4)[0]
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


class EachProgram(unittest.TestCase):
    """Checks that hold for every build of the program."""

    def test_machine_and_gui_subsystem(self):
        machines = {"x86_64": MACHINE_AMD64, "i686": MACHINE_I386}
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                self.assertEqual(program.machine, machines[architecture])
                self.assertEqual(program.subsystem, 2, "not a GUI program")

    def test_imports_only_system_dlls(self):
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                imported = {name.lower() for name in program.imported_dlls()}
                self.assertLessEqual(imported, SYSTEM_DLLS)
                # The dialogs it calls for are really there.
                self.assertLessEqual({"user32.dll", "comdlg32.dll", "shell32.dll"}, imported)

    def test_main_dialog_template(self):
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                data = program.resources()[(RT_DIALOG, 1, NEUTRAL)]
                header, controls, end = parse_dialog_ex(data)
                self.assertEqual(header, dict(
                    version=1, signature=0xFFFF, help_id=0, ex_style=0, style=0x00CE0840, count=12,
                    x=0, y=0, cx=278, cy=110, menu="", title="Lettermill",
                    font=(8, 0, 0, 1, "MS Sans Serif"), **{"class": ""}))
                self.assertEqual(
                    [(c["id"], c["window_class"], c["text"], c["style"], c["rect"]) for c in controls],
                    MAIN_DIALOG_CONTROLS)
                for control in controls:
                    self.assertEqual((control["help_id"], control["ex_style"], control["extra"]),
                                     (0, 0, 0), control["id"])
                self.assertLessEqual(len(data) - end, 3, "bytes after the last control")

    def test_about_dialog_template(self):
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                data = program.resources()[(RT_DIALOG, 1957, RUSSIAN)]
                header, controls, end = parse_dialog(data)
                # WS_POPUP, WS_VISIBLE, DS_SETFONT, DS_CENTER: no caption, frame or menu.
                self.assertEqual(header, dict(
                    style=0x90000840, ex_style=0, count=13, x=0, y=0, cx=232, cy=132, menu="",
                    title="", font=(8, "MS Sans Serif"), **{"class": ""}))
                self.assertEqual([(c["id"], c["style"], c["rect"]) for c in controls],
                                 ABOUT_DIALOG_CONTROLS)
                for control in controls:
                    self.assertEqual(
                        (control["window_class"], control["ex_style"], control["extra"],
                         control["text"]),
                        (STATIC, 0, 0, "OK" if control["id"] == 112 else ""), control["id"])
                self.assertLessEqual(len(data) - end, 3, "bytes after the last control")

    def test_about_pictures(self):
        for architecture, program in PROGRAMS.items():
            resources = program.resources()
            for name, file_name, mask in ABOUT_BITMAPS:
                with self.subTest(architecture=architecture, picture=name):
                    data = resources[(RT_BITMAP, name, RUSSIAN)]
                    # The committed file without its 14-byte file header.
                    drawn = (SOURCE_DIR / "res" / file_name).read_bytes()
                    self.assertEqual(data, drawn[14:], f"not the committed res/{file_name}")
                    width, height, planes, bits = struct.unpack_from("<iiHH", data, 4)
                    self.assertEqual((width, height, planes, bits), (32, 32, 1, 4))
                    palette = [tuple(data[40 + 4 * i:43 + 4 * i]) for i in range(16)]
                    pixels = data[40 + 64:]
                    shown = {palette[byte >> 4] for byte in pixels} | {
                        palette[byte & 15] for byte in pixels}
                    self.assertIn(mask, shown, "no pixel in the mask colour")

    def test_icon_group(self):
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                resources = program.resources()
                reader = Reader(resources[(RT_GROUP_ICON, 1957, NEUTRAL)])
                self.assertEqual(reader.take("HHH"), (0, 1, 2))
                entries = [reader.take("BBBBHHIH") for _ in range(2)]
                images = icon_file_images()
                for entry, size, icon_id, drawn in zip(entries, (32, 16), (1, 2), images):
                    image = resources[(RT_ICON, icon_id, NEUTRAL)]
                    self.assertEqual(entry, (size, size, 16, 0, 1, 4, len(image), icon_id))
                    width, height, planes, bits = struct.unpack_from("<iiHH", image, 4)
                    self.assertEqual((width, height, planes, bits), (size, 2 * size, 1, 4))
                    self.assertEqual(image, drawn, "not the committed res/lettermill.ico")

    def test_manifest(self):
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                data = program.resources()[(RT_MANIFEST, 1, NEUTRAL)]
                root = ElementTree.fromstring(data)
                self.assertEqual(root.tag, MANIFEST_NAMESPACE + "assembly")
                self.assertEqual(root.get("manifestVersion"), "1.0")
                identity = root.findall(MANIFEST_NAMESPACE + "assemblyIdentity")
                self.assertEqual([i.attrib for i in identity], [dict(
                    type="win32", name="lmxApplication", version="1.0.0.0",
                    processorArchitecture="*")])
                dependencies = root.findall(
                    f"{MANIFEST_NAMESPACE}dependency/{MANIFEST_NAMESPACE}dependentAssembly/"
                    f"{MANIFEST_NAMESPACE}assemblyIdentity")
                self.assertEqual([d.attrib for d in dependencies], [dict(
                    type="win32", name="Microsoft.Windows.Common-Controls", version="6.0.0.0",
                    processorArchitecture="*", publicKeyToken="6595b64144ccf1df", language="*")])

    def test_version_resource(self):
        defines = version_header_defines()
        for architecture, program in PROGRAMS.items():
            with self.subTest(architecture=architecture):
                data = program.resources()[(RT_VERSION, 1, NEUTRAL)]
                key, fixed, children = parse_version_node(data)
                self.assertEqual(key, "VS_VERSION_INFO")
                fields = struct.unpack("<13I", fixed)
                self.assertEqual(fields[0], 0xFEEF04BD)
                # File and product version 0.1.0.0, mask, flags, VOS__WINDOWS32, VFT_APP, subtype.
                self.assertEqual(fields[2:11], (0x1, 0, 0x1, 0, 0x3F, 0, 0x4, 0x1, 0))
                blocks = {child[0]: child for child in children}
                self.assertEqual(set(blocks), {"StringFileInfo", "VarFileInfo"})
                tables = blocks["StringFileInfo"][2]
                self.assertEqual([table[0] for table in tables], ["00000000"])
                strings = {name: value for name, value, _ in tables[0][2]}
                self.assertEqual(sorted(strings), sorted(VERSION_KEYS))
                self.assertEqual(len(tables[0][2]), len(VERSION_KEYS), "a key given twice")
                for name, define in VERSION_DEFINES.items():
                    self.assertEqual(strings[name], defines[define], name)
                self.assertEqual(
                    (strings["FileVersion"], strings["ProductVersion"], strings["ProductName"]),
                    ("0.1.0.0", "0.41", "Lettermill"))
                self.assertNotIn("://", strings["Web"])
                self.assertTrue(all(strings.values()), "an empty string")
                translation = blocks["VarFileInfo"][2]
                self.assertEqual([(t[0], t[1]) for t in translation],
                                 [("Translation", b"\0\0\0\0")])


class BothBuilds(unittest.TestCase):
    def test_i686_resources_are_those_of_x86_64(self):
        if "i686" not in PROGRAMS:
            self.skipTest("no i686 program given")
        i686 = PROGRAMS["i686"].resources()
        x86_64 = PROGRAMS["x86_64"].resources()
        self.assertEqual(sorted(i686, key=repr), sorted(x86_64, key=repr))
        for key, data in x86_64.items():
            self.assertEqual(i686[key], data, key)


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    for architecture, path in zip(("x86_64", "i686"), sys.argv[1:]):
        PROGRAMS[architecture] = PeFile(path)
    unittest.main(argv=sys.argv[:1], verbosity=2)
