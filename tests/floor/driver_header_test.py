#!/usr/bin/env python3
"""The driver's PE header is the one the NT 4.0 DDK's linker wrote for a driver: an
image, not a DLL, without DLL characteristics or an export directory, its relocations
kept, subsystem native, and the image checksum right for the file as it is.

    driver_header_test.py <GenPort1.sys>...
"""
import sys
import unittest

import pefile

DRIVERS = sys.argv[1:]
EXPORT = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"]
RELOCATIONS = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]


class DriverHeaderTest(unittest.TestCase):
    def test_each_driver(self):
        self.assertTrue(DRIVERS)
        for path in DRIVERS:
            with self.subTest(driver=path):
                pe = pefile.PE(path)
                header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
                self.assertFalse(header.Characteristics & pefile.IMAGE_CHARACTERISTICS[
                    "IMAGE_FILE_DLL"], "the DLL flag")
                self.assertTrue(header.Characteristics & pefile.IMAGE_CHARACTERISTICS[
                    "IMAGE_FILE_EXECUTABLE_IMAGE"])
                self.assertEqual(0, optional.DllCharacteristics)
                self.assertEqual(pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_NATIVE"],
                                 optional.Subsystem)
                exports = optional.DATA_DIRECTORY[EXPORT]
                self.assertEqual((0, 0), (exports.VirtualAddress, exports.Size))
                self.assertNotIn(b".edata", [s.Name.rstrip(b"\0") for s in pe.sections])
                relocations = optional.DATA_DIRECTORY[RELOCATIONS]
                self.assertGreater(relocations.Size, 0)
                self.assertFalse(header.Characteristics & pefile.IMAGE_CHARACTERISTICS[
                    "IMAGE_FILE_RELOCS_STRIPPED"])
                pe.parse_data_directories(directories=[RELOCATIONS])
                self.assertGreater(sum(len(block.entries) for block in
                                       getattr(pe, "DIRECTORY_ENTRY_BASERELOC", [])), 0)
                self.assertEqual(pe.generate_checksum(), optional.CheckSum)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
