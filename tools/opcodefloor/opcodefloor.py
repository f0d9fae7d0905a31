#!/usr/bin/env python3
"""Holds the shipped folder to the processors of the card's era: the P5 Pentium's
instruction set, which a Pentium MMX, an AMD K6-2/K6-III and a VIA C3 all execute.

    opcodefloor.py [--maps DIR] [--apart FILE]... FILE_OR_FOLDER...

Every executable section of every .exe, .dll and .sys is disassembled (objdump of the
MinGW binutils, a linear sweep over the whole section). Each instruction above the
floor is one fault line: file, address, nearest symbol and file offset. The shipped
files are stripped, so the nearest symbol comes from the link map <DIR>/<file>.map when
--maps names the folder of maps; else from the file's own symbols (test programs); else
from its exports; else the section.
Files given with --apart (the installer, whose stub is not ours) are disassembled and
reported on their own lines, without counting as faults. Exits 1 when there is a fault.
"""
import bisect
import os
import re
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "importfloor"))
from importfloor import shipped_files  # noqa: E402

# Instructions that arrived with the Pentium Pro or later (and AMD's and Cyrix's own).
ABOVE_FLOOR = re.compile(
    r"^(cmov\w+|fcmov\w+|f(u)?comip?|sysenter|sysexit|syscall|sysret\w*|rdpmc|"
    r"nop[wl]|emms|femms|pf\w+|pi2f\w|pf2i\w|pavgusb|pmulhrw|pswapd|prefetch\w*|"
    r"fxsave\w*|fxrstor\w*|[slm]fence|clflush\w*|movnti|ldmxcsr|stmxcsr|fisttp\w*|"
    r"popcnt|lzcnt|tzcnt|movbe|crc32\w*|rdtscp|xgetbv|xsave\w*|xrstor\w*|monitor|mwait|"
    r"endbr(32|64)|rdrand|rdseed|adcx|adox|andn|bextr|bls\w+|bzhi|mulx|pdep|pext|"
    r"rorx|sarx|shlx|shrx|vmcall|vmlaunch|vmresume|vmxoff|vmxon|getsec)$")
# Any use of the MMX, SSE or AVX registers (AT&T syntax).
NEW_REGISTERS = re.compile(r"%(mm\d|[xyz]mm\d+|k[0-7]\b)")
# What objdump prints in front of the mnemonic it belongs to.
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "data32", "addr16",
            "addr32", "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd"}
# "addr:  mnemonic operands" as objdump -d -w --no-show-raw-insn prints it.
LINE = re.compile(r"^\s*([0-9a-f]+):\s+(\S+)\s*(.*)$")
# "addr <symbol>:" where a symbol starts.
LABEL = re.compile(r"^([0-9a-f]+) <(.+)>:$")

IMAGE_SCN_CNT_CODE, IMAGE_SCN_MEM_EXECUTE = 0x20, 0x20000000


class Image:
    """What the check needs of a PE file: its executable sections and exports."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = d = f.read()
        if d[:2] != b"MZ":
            raise ValueError("not a PE file (no MZ header)")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file (no PE signature)")
        count, opt_size = struct.unpack_from("<H", d, pe + 6)[0], struct.unpack_from("<H", d, pe + 20)[0]
        opt = pe + 24
        self.wide = struct.unpack_from("<H", d, opt)[0] == 0x20B
        self.base = struct.unpack_from("<Q", d, opt + 24)[0] if self.wide else \
            struct.unpack_from("<I", d, opt + 28)[0]
        dirs = opt + (112 if self.wide else 96)
        self.export_dir = struct.unpack_from("<II", d, dirs)
        self.sections = []       # (name, rva, virtual size, raw pointer, executable)
        for i in range(count):
            at = opt + opt_size + 40 * i
            name = d[at:at + 8].rstrip(b"\0").decode("latin-1")
            vsize, rva, _, rawptr = struct.unpack_from("<IIII", d, at + 8)
            flags = struct.unpack_from("<I", d, at + 36)[0]
            self.sections.append((name, rva, vsize, rawptr,
                                  bool(flags & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE))))

    def file_offset(self, address):
        rva = address - self.base
        for _, start, size, rawptr, _ in self.sections:
            if start <= rva < start + size:
                return rawptr + rva - start
        return None

    def section_of(self, address):
        rva = address - self.base
        for name, start, size, _, _ in self.sections:
            if start <= rva < start + size:
                return name, self.base + start
        return None, None

    def exports(self):
        """(address, name) of every exported function."""
        rva, size = self.export_dir
        if not rva or not size:
            return []
        d, at = self.data, self.file_offset(self.base + rva)
        if at is None:
            return []
        names, functions, name_table, ordinal_table = struct.unpack_from("<IIIII", d, at + 20)[1:]
        functions, name_table, ordinal_table = (self.file_offset(self.base + x)
                                                for x in (functions, name_table, ordinal_table))
        found = []
        for i in range(names):
            name_at = self.file_offset(self.base + struct.unpack_from("<I", d, name_table + 4 * i)[0])
            name = d[name_at:d.index(b"\0", name_at)].decode("latin-1")
            ordinal = struct.unpack_from("<H", d, ordinal_table + 2 * i)[0]
            found.append((self.base + struct.unpack_from("<I", d, functions + 4 * ordinal)[0], name))
        return found


def map_symbols(path):
    """(address, name) of every symbol a GNU ld link map lists."""
    symbols = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"^\s+0x([0-9a-f]+)\s+([A-Za-z_.?$@][\w.?$@]*)\s*$", line)
            if m and int(m.group(1), 16):
                symbols.append((int(m.group(1), 16), m.group(2)))
    return symbols


class Symbols:
    """The nearest symbol at or below an address, demangled where c++filt can."""

    def __init__(self, pairs):
        self.pairs = sorted(set(pairs))
        self.addresses = [a for a, _ in self.pairs]
        self.demangler = shutil.which("i686-w64-mingw32-c++filt")

    def near(self, address):
        i = bisect.bisect_right(self.addresses, address) - 1
        if i < 0:
            return None
        at, name = self.pairs[i]
        return "%s+0x%x" % (self.demangle(name), address - at)

    def demangle(self, name):
        if not self.demangler or not name.lstrip("_").startswith("Z"):
            return name
        run = subprocess.run([self.demangler], input=name, capture_output=True, text=True)
        return run.stdout.strip() or name


def objdump_for(image):
    tool = "x86_64-w64-mingw32-objdump" if image.wide else "i686-w64-mingw32-objdump"
    if not shutil.which(tool):
        raise RuntimeError("%s is missing (Debian binutils-mingw-w64)" % tool)
    return tool


def above_floor(path):
    """The image, (address, instruction text) of each instruction above the floor, and
    the symbols objdump names in the file itself (none in a stripped file)."""
    image = Image(path)
    found, labels = [], []
    for name, _, _, _, executable in image.sections:
        if not executable:
            continue
        run = subprocess.run([objdump_for(image), "-D", "-w", "--no-show-raw-insn", "-j", name, path],
                             capture_output=True, text=True)
        if run.returncode:
            raise RuntimeError(run.stderr.strip())
        for line in run.stdout.splitlines():
            label = LABEL.match(line)
            if label and not label.group(2).startswith("."):
                labels.append((int(label.group(1), 16), label.group(2)))
            m = LINE.match(line)
            if not m:
                continue
            text = (m.group(2) + " " + m.group(3)).strip()
            mnemonic, operands = m.group(2), m.group(3)
            while mnemonic in PREFIXES and operands:
                mnemonic, _, operands = operands.partition(" ")
            if ABOVE_FLOOR.match(mnemonic) or NEW_REGISTERS.search(operands):
                found.append((int(m.group(1), 16), text))
    return image, found, labels


def describe(path, maps):
    """One line per instruction above the floor."""
    image, found, labels = above_floor(path)
    if not found:
        return []
    base = os.path.basename(path)
    map_path = os.path.join(maps, base + ".map") if maps else None
    if map_path and os.path.isfile(map_path):
        symbols, how = Symbols(map_symbols(map_path)), "link map"
    elif labels:
        symbols, how = Symbols(labels), "symbol table"
    else:
        symbols, how = Symbols(image.exports()), "exports"
    lines = []
    for address, text in found:
        where = symbols.near(address)
        if not where:
            section, start = image.section_of(address)
            where, how_here = "%s+0x%x" % (section, address - start), "section"
        else:
            how_here = how
        lines.append("%s: %s at 0x%x in %s (%s), file offset 0x%x"
                     % (base, text, address, where, how_here, image.file_offset(address) or 0))
    return lines


def main(argv):
    args, maps, apart = argv[1:], None, []
    while args and args[0] in ("--maps", "--apart"):
        if len(args) < 2:
            break
        if args[0] == "--maps":
            maps = args[1]
        else:
            apart.append(args[1])
        args = args[2:]
    if not args:
        print(__doc__.strip())
        return 2
    faults = checked = 0
    try:
        for path in shipped_files(args):
            lines = describe(path, maps)
            checked += 1
            faults += len(lines)
            print("%s: %d instruction(s) above the P5 floor" % (os.path.basename(path), len(lines)))
            for line in lines:
                print(line)
        for path in apart:
            lines = describe(path, maps)
            print("apart, not counted: %s: %d instruction(s) above the P5 floor"
                  % (os.path.basename(path), len(lines)))
            for line in lines:
                print("apart, not counted: " + line)
    except (OSError, ValueError, RuntimeError) as e:
        print("error: %s" % e)
        return 2
    print("%d file(s) checked, %d instruction(s) above the floor" % (checked, faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
