#!/usr/bin/env python3
"""Every program, library and driver of the shipped folder is stripped of symbols and
carries its version resource (company Zyk, product Zyk Velotune, version 1.0a, a
description).

    shipped_files_test.py <shipped folder>
"""
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "importfloor"))
from importfloor import PeFile, shipped_files  # noqa: E402

FOLDER = sys.argv[1]


def block(data, at):
    """A version block at `at`: (its end, its key, where its value starts)."""
    length, _, _ = struct.unpack_from("<HHH", data, at)
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    return at + length, data[at + 6:key_end].decode("utf-16-le"), (key_end + 2 + 3) & ~3


def version_strings(data):
    """The name/value pairs of the first string table of the version resource."""
    key = data.find("StringFileInfo".encode("utf-16-le"))
    if key < 6:
        return {}
    info_end, _, table = block(data, key - 6)
    table_end, _, at = block(data, table)
    strings = {}
    while at < min(table_end, info_end):
        end, name, value_at = block(data, at)
        value = data[value_at:end].decode("utf-16-le", "replace").split("\0")[0]
        strings[name] = value
        at = (end + 3) & ~3
    return strings


class ShippedFilesTest(unittest.TestCase):
    def setUp(self):
        self.files = list(shipped_files([FOLDER]))
        self.assertGreaterEqual(len(self.files), 4, FOLDER)

    def test_every_file_is_stripped(self):
        for path in self.files:
            pe = PeFile(path)
            pe_at = struct.unpack_from("<I", pe.data, 0x3C)[0]
            symbols, count = struct.unpack_from("<II", pe.data, pe_at + 12)
            self.assertEqual((0, 0), (symbols, count), path)
            self.assertNotIn(b".debug_", pe.data[:4096], path)

    def test_every_file_carries_its_version(self):
        for path in self.files:
            strings = version_strings(PeFile(path).data)
            self.assertEqual("Zyk", strings.get("CompanyName"), path)
            self.assertEqual("Zyk Velotune", strings.get("ProductName"), path)
            self.assertEqual("1.0a", strings.get("ProductVersion"), path)
            self.assertEqual("1.0a", strings.get("FileVersion"), path)
            self.assertTrue(strings.get("FileDescription"), path)
            self.assertEqual(os.path.basename(path).lower(),
                             strings.get("OriginalFilename", "").lower(), path)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
