"""The export tables of the era's Windows (floor/, whose README.md names their source),
as a verdict on one import: does the table show it on Windows 98 and NT 4.0 SP6?

Each check returns None when the table shows the import on both, else why not.
"""
import os
import re

FOLDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "floor")
# Every export of NT 4.0 SP6's kernel and HAL: a driver importing anything else is refused
# by NT 4.0's loader.
KERNEL_LISTS = {"ntoskrnl.exe": "ntoskrnl-nt40sp6.txt", "hal.dll": "hal-nt40sp6.txt"}
# Versions on both families. "4.0" alone is ambiguous (95 or NT 4.0), so only entries
# that cover every version of both pass on the table alone.
FAMILY_TABLES = {"kernel32.dll": "kernel32-versions.tsv", "advapi32.dll": "advapi32-versions.tsv"}
ON_BOTH_FAMILIES = ("3.10 and higher", "3.51 and higher")
# First versions of the DLL itself: bare 98 and NT 4.0 SP6 both have 4.00 or later,
# NT 4.0's own build being "4.0 (NT)". Only 95's build lacks what it says "but not".
DLL_TABLES = {"shell32.dll": "shell32-versions.tsv", "comctl32.dll": "comctl32-versions.tsv"}
DLL_FLOOR = (4, 0)
NOT_IN_95_ONLY = ("but not 4.0 (Windows)", "but not 4.00 (Windows)")
NEED_REASON = ("its reviewed line needs a reason naming a second source that shows it "
               "on 98 and NT 4.0")


def version(text):
    major, minor = text.split(".")
    return int(major), int(minor.ljust(2, "0"))


class FloorTables:
    def __init__(self, folder=FOLDER):
        self.folder = folder
        self.kernel = {m: set(self._rows(f)) for m, f in KERNEL_LISTS.items()}
        self.tables = {m: dict(row.split("\t", 1) for row in self._rows(f))
                       for m, f in list(FAMILY_TABLES.items()) + list(DLL_TABLES.items())}

    def _rows(self, name):
        with open(os.path.join(self.folder, name), encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f if line.strip() and not line.startswith("#")]

    def covers(self, module):
        return module in KERNEL_LISTS or module in self.tables

    def fault(self, module, function, reason=""):
        if module in KERNEL_LISTS:
            if function in self.kernel[module]:
                return None
            return "which NT 4.0 SP6's %s does not export (not in %s)" % (
                module, KERNEL_LISTS[module])
        entry = self.tables[module].get(function)
        table = module.split(".")[0] + " table"
        if module in DLL_TABLES:
            if entry is None:
                return "which the %s does not list" % table
            if dll_floor_has(entry):
                return None
            return ('which the %s gives as "%s": newer than %s 4.00 and "4.0 (NT)"'
                    % (table, entry, module.split(".")[0].upper()))
        if entry in ON_BOTH_FAMILIES:
            return None
        first = re.search(r"\d+\.\d+", entry or "")
        if first and version(first.group()) > (4, 10):
            return ('which the %s gives as "%s": newer than 98 and NT 4.0'
                    % (table, entry))
        said = ("which the %s does not list" % table if entry is None else
                'which the %s gives as "%s", not on both families' % (table, entry))
        if not reason:
            return "%s: %s" % (said, NEED_REASON)
        if "98" not in reason or "NT 4.0" not in reason:
            return "%s, and its reason does not say 98 and NT 4.0" % said
        return None


def dll_floor_has(entry):
    """An entry such as "3.50 and higher" or "4.0 (NT) and higher", with nothing after
    it but an exception for 95's own build."""
    head, *rest = entry.split("; ")
    match = re.fullmatch(r"(\d+\.\d+)( \(NT\))? and higher", head)
    if not match or any(part not in NOT_IN_95_ONLY for part in rest):
        return False
    first = version(match.group(1))
    return first <= DLL_FLOOR
