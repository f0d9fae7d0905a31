#!/usr/bin/env python3
"""Holds the shipped folder to the Windows of the card's era (98 and NT 4.0 SP6).

    importfloor.py [--list FILE] FILE_OR_FOLDER...

Every imported function of every .exe, .dll and .sys must be on the reviewed list
(module, function, first 95-family and NT-family versions that export it) and exist on
Windows 98 and NT 4.0; imports of our own DLLs must be exported by the DLL of that name
beside the importer; the PE header must ask for OS and subsystem version 4.0. Prints one
line per fault and exits 1 when there is any.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OWN_DLLS = ("busprobe.dll", "portgate.dll")
KERNEL_MODULES = ("ntoskrnl.exe", "hal.dll")      # all a driver may import, and only it
WIN9X_ORDER = ["95", "98", "98se", "me"]          # the 95 family, oldest first
NT_ORDER = ["3.1", "3.5", "3.51", "4.0", "2000", "xp", "2003", "vista"]
FLOOR_9X, FLOOR_NT = "98", "4.0"                  # 95 family's and NT family's floor


class PeFile:
    """The parts of a PE image the floor is about: header versions, imports, exports."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not a PE file (no MZ header)")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file (no PE signature)")
        _, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", d, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header 0x%X" % magic)
        self.wide = magic == 0x20B
        (self.os_version, self.subsystem_version) = (
            struct.unpack_from("<HH", d, opt + 40), struct.unpack_from("<HH", d, opt + 48))
        self.subsystem = struct.unpack_from("<H", d, opt + 68)[0]
        dirs = opt + (112 if self.wide else 96)
        count = struct.unpack_from("<I", d, dirs - 4)[0]
        self.dirs = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(min(count, 16))]
        table = opt + opt_size
        self.sections = [struct.unpack_from("<IIII", d, table + 40 * i + 8)
                         for i in range(sections)]          # vsize, rva, rawsize, rawptr

    def offset(self, rva):
        for vsize, start, rawsize, rawptr in self.sections:
            if start <= rva < start + max(vsize, rawsize):
                return rawptr + rva - start
        raise ValueError("address 0x%X lies in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imports(self):
        """[(module, function name or '#ordinal')] from the import and delay-import tables."""
        found = []
        for index, entry_size, name_at, thunk_at in ((1, 20, 12, 0), (13, 32, 4, 12)):
            if index >= len(self.dirs) or not self.dirs[index][0]:
                continue
            at = self.offset(self.dirs[index][0])
            while True:
                entry = struct.unpack_from("<%dI" % (entry_size // 4), self.data, at)
                if not any(entry):
                    break
                module = self.cstring(entry[name_at // 4])
                if index == 1:
                    thunks = entry[0] or entry[4]        # names, else the bound table
                else:
                    thunks = entry[3]
                found += [(module, f) for f in self.thunk_names(thunks)]
                at += entry_size
        return found

    def thunk_names(self, rva):
        size, fmt, flag = (8, "<Q", 1 << 63) if self.wide else (4, "<I", 1 << 31)
        at, names = self.offset(rva), []
        while True:
            thunk = struct.unpack_from(fmt, self.data, at)[0]
            if not thunk:
                return names
            names.append("#%d" % (thunk & 0xFFFF) if thunk & flag else self.cstring(thunk + 2))
            at += size

    def exports(self):
        if not self.dirs or not self.dirs[0][0]:
            return set()
        at = self.offset(self.dirs[0][0])
        count = struct.unpack_from("<I", self.data, at + 24)[0]       # number of names
        names = struct.unpack_from("<I", self.data, at + 32)[0]       # their table
        return {self.cstring(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
                for i in range(count)}


def load_list(path):
    """module -> function -> (first 95-family version, first NT version, flags)."""
    reviewed = {}
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.split("#", 1)[0].split()
        if not line:
            continue
        if len(line) < 4 or (line[2] != "-" and line[2] not in WIN9X_ORDER) \
                or (line[3] != "-" and line[3] not in NT_ORDER):
            raise ValueError("%s:%d: expected 'module function 95-family NT [flags]'"
                             % (path, number))
        flags = line[4:]
        if line[1].endswith("W") and not {"stub9x", "stub9x-unused", "real9x"} & set(flags):
            raise ValueError("%s:%d: %s is a wide-character function: say whether the 95 "
                             "family has it for real (real9x) or as a stub" % (path, number, line[1]))
        reviewed.setdefault(line[0].lower(), {})[line[1]] = (line[2], line[3], flags)
    return reviewed


def exists_by(first, order, floor):
    return first != "-" and order.index(first) <= order.index(floor)


def since(first, family):
    return "none of the %s family" % family if first == "-" else "first in " + first


def check_file(path, reviewed):
    faults, name = [], os.path.basename(path)
    try:
        pe = PeFile(path)
    except (ValueError, struct.error) as error:
        return ["%s: %s" % (name, error)]
    if not pe.wide:
        for what, version in (("OS", pe.os_version), ("subsystem", pe.subsystem_version)):
            if version != (4, 0):
                faults.append("%s: %s version %d.%d in the PE header, not 4.0"
                              % (name, what, version[0], version[1]))
    kernel_mode = pe.subsystem == 1
    for module, function in pe.imports():
        lower = module.lower()
        if lower in OWN_DLLS:
            sibling = os.path.join(os.path.dirname(path), lower)
            if not os.path.exists(sibling) or function not in PeFile(sibling).exports():
                faults.append("%s: imports %s from %s, which does not export it"
                              % (name, function, module))
            continue
        if (lower in KERNEL_MODULES) != kernel_mode:
            faults.append("%s: imports %s!%s, but a %s may not import from %s"
                          % (name, module, function, "driver" if kernel_mode else "program",
                             module))
            continue
        entry = reviewed.get(lower, {}).get(function)
        if entry is None:
            faults.append("%s: imports %s!%s, which is not on the reviewed list"
                          % (name, module, function))
            continue
        first9x, first_nt, flags = entry
        if not exists_by(first_nt, NT_ORDER, FLOOR_NT):
            faults.append("%s: imports %s!%s, which NT 4.0 does not have (%s)"
                          % (name, module, function, since(first_nt, "NT")))
        if not kernel_mode and not exists_by(first9x, WIN9X_ORDER, FLOOR_9X):
            faults.append("%s: imports %s!%s, which Windows 98 does not have (%s)"
                          % (name, module, function, since(first9x, "95")))
        if "stub9x" in flags and not kernel_mode:   # "stub9x-unused" is a reviewed exception
            faults.append("%s: imports %s!%s, which the 95 family has only as a failing stub"
                          % (name, module, function))
    return faults


def shipped_files(arguments):
    for argument in arguments:
        if os.path.isdir(argument):
            for root, _, files in os.walk(argument):
                for f in sorted(files):
                    if f.lower().endswith((".exe", ".dll", ".sys")):
                        yield os.path.join(root, f)
        else:
            yield argument


def main(argv):
    list_path = os.path.join(HERE, "reviewed_imports.txt")
    if len(argv) > 2 and argv[1] == "--list":
        list_path, argv = argv[2], argv[:1] + argv[3:]
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        reviewed = load_list(list_path)
    except ValueError as error:
        print(error)
        return 2
    faults, checked = [], 0
    for path in shipped_files(argv[1:]):
        checked += 1
        faults += check_file(path, reviewed)
    for fault in faults:
        print(fault)
    if not checked:
        print("no .exe, .dll or .sys file to check")
        return 1
    print("%d file(s) checked, %d fault(s)" % (checked, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
