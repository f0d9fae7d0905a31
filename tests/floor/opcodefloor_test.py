#!/usr/bin/env python3
"""The opcode checker on a program it must refuse, and on one it reports apart.

    opcodefloor_test.py <opcodefloor.py> <stripped program with a CMOV> <its maps folder> one|many

"one": the program is built to the floor but for that move (32-bit); "many": 64-bit code,
where conditional moves are everywhere.
"""
import subprocess
import sys
import tempfile
import unittest

CHECKER, PROGRAM, MAPS, ONLY = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4] == "one"


def check(*arguments):
    run = subprocess.run([sys.executable, CHECKER, *arguments], capture_output=True, text=True)
    return run.returncode, run.stdout


class OpcodeFloorTest(unittest.TestCase):
    def test_refuses_the_conditional_move_naming_file_function_and_offset(self):
        code, out = check("--maps", MAPS, PROGRAM)
        self.assertEqual(1, code, out)
        if ONLY:
            self.assertIn("cmov_program.exe: 1 instruction(s) above the P5 floor", out)
        self.assertRegex(out, r"cmov_program\.exe: cmovne %\w+,%\w+ at 0x[0-9a-f]+ in "
                              r"_?ConditionalMove\+0x[0-9a-f]+ \(link map\), file offset 0x[0-9a-f]+")

    def test_without_its_map_the_stripped_program_names_the_section(self):
        code, out = check(PROGRAM)
        self.assertEqual(1, code, out)
        self.assertRegex(out, r"cmovne .* in \.text\+0x[0-9a-f]+ \(section\)")

    def test_a_file_given_apart_is_reported_but_not_counted(self):
        with tempfile.TemporaryDirectory() as empty:
            code, out = check("--maps", MAPS, "--apart", PROGRAM, empty)
        self.assertEqual(0, code, out)
        self.assertRegex(out, r"apart, not counted: cmov_program\.exe: \d+ instruction\(s\) above "
                              r"the P5 floor\n")
        self.assertRegex(out, r"apart, not counted: cmov_program\.exe: cmovne .* in _?ConditionalMove")
        self.assertIn("0 file(s) checked, 0 instruction(s) above the floor", out)

    def test_a_file_that_is_no_program_is_an_error(self):
        with tempfile.NamedTemporaryFile("wb", suffix=".exe") as junk:
            junk.write(b"not a program")
            junk.flush()
            code, out = check(junk.name)
        self.assertEqual(2, code, out)
        self.assertIn("not a PE file", out)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
