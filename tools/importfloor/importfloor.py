#!/usr/bin/env python3
"""Holds the shipped folder to the Windows of the card's era (98 and NT 4.0 SP6).

    importfloor.py [--list FILE] FILE_OR_FOLDER...

Every imported function of every .exe, .dll and .sys must be on the reviewed list
(module, function, first 95-family and NT-family versions that export it) and exist on
Windows 98 and NT 4.0; imports of our own DLLs must be exported by the DLL of that name
beside the importer; the PE header must ask for OS and subsystem version 4.0. Where the
export tables in floor/ cover the module (kernel, HAL, KERNEL32, ADVAPI32, SHELL32,
COMCTL32), the import must also be there on both, and the table wins over the list; an
entry the table leaves in doubt needs a reason on its line ("reason: ..."), naming a
second source that shows it on 98 and NT 4.0. Prints one line per fault and exits 1
when there is any.
"""
import os
import sys

import pefile

from floor_tables import FloorTables

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
        try:
            pe = pefile.PE(data=self.data, fast_load=True)
        except pefile.PEFormatError as error:
            raise ValueError("not a PE file (%s)" % error.value)
        self.wide = pe.OPTIONAL_HEADER.Magic == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS
        header = pe.OPTIONAL_HEADER
        self.os_version = (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion)
        self.subsystem_version = (header.MajorSubsystemVersion, header.MinorSubsystemVersion)
        self.subsystem = header.Subsystem
        pe.parse_data_directories(directories=[
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"],
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"]])
        self.pe = pe

    def imports(self):
        """[(module, function name or '#ordinal')] from the import and delay-import tables."""
        found = []
        for table in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
            for entry in getattr(self.pe, table, []):
                module = entry.dll.decode("latin-1")
                found += [(module, item.name.decode("latin-1") if item.name is not None
                           else "#%d" % item.ordinal) for item in entry.imports]
        return found

    def exports(self):
        table = getattr(self.pe, "DIRECTORY_ENTRY_EXPORT", None)
        if table is None:
            return set()
        return {s.name.decode("latin-1") for s in table.symbols if s.name is not None}


def load_list(path):
    """module -> function -> (first 95-family version, first NT version, flags, reason)."""
    reviewed = {}
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line, _, reason = line.split("#", 1)[0].partition("reason:")
        line, reason = line.split(), reason.strip()
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
        reviewed.setdefault(line[0].lower(), {})[line[1]] = (line[2], line[3], flags, reason)
    return reviewed


def exists_by(first, order, floor):
    return first != "-" and order.index(first) <= order.index(floor)


def since(first, family):
    return "none of the %s family" % family if first == "-" else "first in " + first


def check_file(path, reviewed, tables):
    faults, name = [], os.path.basename(path)
    try:
        pe = PeFile(path)
    except ValueError as error:
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
        table_fault = tables.covers(lower) and tables.fault(lower, function,
                                                            entry[3] if entry else "")
        if table_fault:   # the tables win over the reviewed list
            faults.append("%s: imports %s!%s, %s" % (name, module, function, table_fault))
        if entry is None:
            faults.append("%s: imports %s!%s, which is not on the reviewed list"
                          % (name, module, function))
            continue
        first9x, first_nt, flags, _ = entry
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
        tables = FloorTables()
    except (ValueError, OSError) as error:
        print(error)
        return 2
    faults, checked = [], 0
    for path in shipped_files(argv[1:]):
        checked += 1
        faults += check_file(path, reviewed, tables)
    for fault in faults:
        print(fault)
    if not checked:
        print("no .exe, .dll or .sys file to check")
        return 1
    print("%d file(s) checked, %d fault(s)" % (checked, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
