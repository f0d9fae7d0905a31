#!/usr/bin/env python3
"""The import checker on a program and a driver it must refuse, and on lists that must
hold them back.

    importfloor_test.py <importfloor.py> <program importing GetTickCount64, CreateHardLinkA,
                        CancelWaitableTimer and _TrackMouseEvent> <driver importing ZwSetSecurityObject>
"""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER, PROGRAM, DRIVER = sys.argv[1:4]
# Each import of the program and the driver, reviewed as present on 98 and NT 4.0.
LISTED = ("kernel32.dll GetTickCount64 95 3.1\n"
          "kernel32.dll CreateHardLinkA 95 3.1\n"
          "kernel32.dll CancelWaitableTimer 98 4.0 %s\n"
          "comctl32.dll _TrackMouseEvent 98 4.0\n"
          "ntoskrnl.exe ZwSetSecurityObject - 4.0\n")
REASON = "reason: MSDN Library, October 2001: Windows 98 and later, Windows NT 4.0 and later"
IN_DOUBT = ('KERNEL32.dll!CancelWaitableTimer, which the kernel32 table gives as "4.0 from '
            'Windows NT 4.0, and higher", not on both families')


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

    def check_with_list(self, text, program=PROGRAM):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as listed:
            listed.write(text)
        try:
            return check("--list", listed.name, program)
        finally:
            os.unlink(listed.name)

    def test_listed_but_newer_than_nt4_and_98_is_refused(self):
        code, out = self.check_with_list("kernel32.dll GetTickCount64 - vista  # its history\n")
        self.assertEqual(1, code, out)
        self.assertIn("GetTickCount64, which NT 4.0 does not have (first in vista)", out)
        self.assertIn("GetTickCount64, which Windows 98 does not have (none of the 95 family)", out)

    def test_the_export_tables_win_over_the_reviewed_list(self):
        code, out = self.check_with_list(LISTED % "", DRIVER)
        self.assertEqual(1, code, out)
        self.assertIn("imports ntoskrnl.exe!ZwSetSecurityObject, which NT 4.0 SP6's "
                      "ntoskrnl.exe does not export", out)
        code, out = self.check_with_list(LISTED % REASON)
        self.assertEqual(1, code, out)
        self.assertIn('KERNEL32.dll!CreateHardLinkA, which the kernel32 table gives as '
                      '"5.0 and higher": newer than 98 and NT 4.0', out)
        self.assertIn('GetTickCount64, which the kernel32 table gives as "6.0 and higher"', out)
        self.assertIn('COMCTL32.DLL!_TrackMouseEvent, which the comctl32 table gives as "4.70 '
                      'and higher": newer than COMCTL32 4.00 and "4.0 (NT)"', out)
        self.assertNotIn("CancelWaitableTimer", out)

    def test_an_entry_in_doubt_needs_its_reason(self):
        code, out = self.check_with_list(LISTED % "")
        self.assertEqual(1, code, out)
        self.assertIn(IN_DOUBT + ": its reviewed line needs a reason", out)
        code, out = self.check_with_list(LISTED % "reason: it is in the SDK")
        self.assertIn(IN_DOUBT + ", and its reason does not say 98 and NT 4.0", out)

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
