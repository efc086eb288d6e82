"""Reads what the tests need of a Windows program file: machine, subsystem, imported DLLs and
resources. Only what the PE format says; no tool of the build is asked."""
import struct
from pathlib import Path

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664

_IMPORT_DIRECTORY = 1
_RESOURCE_DIRECTORY = 2


class PeFile:
    def __init__(self, path):
        self.path = Path(path)
        self.data = self.path.read_bytes()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path}: not a program file")
        pe = self._u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE header")
        self.machine, section_count = struct.unpack_from("<HH", self.data, pe + 4)
        optional_size = struct.unpack_from("<H", self.data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self._directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                             for i in range(16)]
        self._sections = []
        for i in range(section_count):
            entry = optional + optional_size + 40 * i
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", self.data, entry + 8)
            self._sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def _offset(self, rva):
        for address, size, raw in self._sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"{self.path}: address {rva:#x} is in no section")

    def _c_string(self, rva):
        start = self._offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva, _ = self._directories[_IMPORT_DIRECTORY]
        names = []
        descriptor = self._offset(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, descriptor)
            if not any(fields):
                return names
            names.append(self._c_string(fields[3]))
            descriptor += 20

    def resources(self):
        """Every resource as {(type, name, language): bytes}; a type or name is an int, or a
        str where the resource is named by a string."""
        rva, _ = self._directories[_RESOURCE_DIRECTORY]
        if rva == 0:
            return {}
        root = self._offset(rva)
        found = {}

        def walk(directory, path):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                name_field, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if name_field & 0x80000000:
                    at = root + (name_field & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                else:
                    key = name_field
                if target & 0x80000000:
                    walk(root + (target & 0x7FFFFFFF), path + (key,))
                else:
                    data_rva, size = struct.unpack_from("<II", self.data, root + target)
                    start = self._offset(data_rva)
                    found[path + (key,)] = self.data[start:start + size]

        walk(root, ())
        return found
