#!/usr/bin/env python3
"""The import checker on a program it must refuse, and on lists that must hold it back.

    importfloor_test.py <importfloor.py> <program importing GetTickCount64>
"""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER, PROGRAM = sys.argv[1], sys.argv[2]


def check(*arguments):
    run = subprocess.run([sys.executable, CHECKER, *arguments], capture_output=True, text=True)
    return run.returncode, run.stdout


class ImportFloorTest(unittest.TestCase):
    def test_names_an_import_missing_from_the_list(self):
        code, out = check(PROGRAM)
        self.assertEqual(1, code, out)
        self.assertIn("imports KERNEL32.dll!GetTickCount64, which is not on the reviewed list",
                      out)

    def test_a_wide_function_must_say_how_the_95_family_has_it(self):
        code, out = self.check_with_list("kernel32.dll CreateSemaphoreW 95 3.1\n")
        self.assertEqual(2, code, out)
        self.assertIn("CreateSemaphoreW is a wide-character function", out)
        code, out = self.check_with_list("kernel32.dll GetTickCount64 - vista\n"
                                         "kernel32.dll CreateSemaphoreW 95 3.1 stub9x\n")
        self.assertEqual(1, code, out)

    def check_with_list(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as listed:
            listed.write(text)
        try:
            return check("--list", listed.name, PROGRAM)
        finally:
            os.unlink(listed.name)

    def test_listed_but_newer_than_nt4_and_98_is_refused(self):
        code, out = self.check_with_list("kernel32.dll GetTickCount64 - vista  # its history\n")
        self.assertEqual(1, code, out)
        self.assertIn("GetTickCount64, which NT 4.0 does not have (first in vista)", out)
        self.assertIn("GetTickCount64, which Windows 98 does not have (none of the 95 family)", out)

    def test_a_file_that_is_no_program_is_a_fault(self):
        with tempfile.NamedTemporaryFile("wb", suffix=".dll", delete=False) as junk:
            junk.write(b"MZ but nothing else")
        try:
            code, out = check(junk.name)
        finally:
            os.unlink(junk.name)
        self.assertEqual(1, code, out)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
