#!/usr/bin/env python3
"""busprobe's chip family table (busprobe/families.h) held against the public drivers' id
table (tests/support/radeon_ids.h) and Debian's pci.ids.

The drivers' table is the authority: every id it gives one of the families with a
workaround must be in families.h under that family, and families.h may list no id the
drivers file elsewhere or not at all. pci.ids names each ATI device with its chip first
("5159  RV100 [Radeon 7000 / Radeon VE]"): an id of families.h must not be named there
as another chip (an id pci.ids lacks, or names by its board, as 515E "ES1000", passes
when the drivers' table gives its family), and every ATI display chip pci.ids names with
one of these families must be in families.h.
usage: chip_family_ids_test.py [--self-test] families.h radeon_ids.h pci.ids
--self-test: the check must fail on broken copies of families.h (an id of each family
dropped, ids filed under another family) and pass on the real one.
"""
import re
import sys

# The families whose chips need a workaround in the clock library.
RULE_FAMILIES = {"RV100", "RS100", "RV200", "RS200", "R300"}
# Names pci.ids gives chips that the drivers count as another family.
ALIASES = {
    "RS250": "RS200",   # 4437, Mobility Radeon 7000 IGP
    "RS200M": "RS200",  # 4337, the mobile IGP 330M-350M
}
CHIP_NAME = re.compile(r"^R[SV]?\d{3}$")


def rows(text, start, pattern):
    body = text[text.index(start):]
    return {int(i, 16): family for i, family in re.findall(pattern, body)}


def table(text):
    return rows(text, "kChipFamilies[]", r'\{0x([0-9A-Fa-f]{4}),\s*"(\w+)",')


def drivers(text):
    return rows(text, "kRadeonIds[]", r'\{0x([0-9A-Fa-f]{4}),\s*"(\w+)"\}')


def ati_devices(ids):
    devices, vendor = {}, None
    with open(ids, encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            if not line.startswith("\t"):
                vendor = line[:4].lower()
            elif not line.startswith("\t\t") and vendor == "1002":
                devices[int(line[1:5], 16)] = line[5:].strip()
    return devices


def chip(name):
    first = re.split(r"[/\s\[]", name, maxsplit=1)[0]
    return ALIASES.get(first, first)


def check(families, data, devices):
    faults = []
    if not families or not data:
        faults.append("a table was not read")
    for device_id, family in sorted(data.items()):
        if family in RULE_FAMILIES and families.get(device_id) != family:
            faults.append("%04x: the drivers file it as %s, families.h %s"
                          % (device_id, family, families.get(device_id, "lacks it")))
    for device_id, family in sorted(families.items()):
        if data.get(device_id) != family:
            faults.append("%04x: families.h says %s, the drivers' table %s"
                          % (device_id, family, data.get(device_id, "lacks it")))
        name = devices.get(device_id)
        named = chip(name) if name is not None else None
        if named == family:
            continue
        if named is not None and CHIP_NAME.match(named):
            faults.append("%04x: families.h says %s, pci.ids says %r" % (device_id, family, name))
        elif data.get(device_id) != family:
            faults.append("%04x: pci.ids says %r, and the drivers' table does not give %s"
                          % (device_id, name, family))
    wanted = set(families.values())
    for device_id, name in sorted(devices.items()):
        if (chip(name) in wanted and "Bridge" not in name and "(Secondary)" not in name
                and device_id not in families):
            faults.append("%04x %r: a %s chip missing from families.h" % (device_id, name, chip(name)))
    return faults


def self_test(text, data, devices):
    """Broken copies of families.h: each must fail the check."""
    lines = text.splitlines(keepends=True)
    copies = []
    for family in sorted(RULE_FAMILIES):
        first = next(i for i, l in enumerate(lines) if '"%s"' % family in l)
        copies.append(("%s entry dropped" % family, "".join(lines[:first] + lines[first + 1:])))
    for device_id in ("0x515A", "0x5158", "0x4237", "0x4145"):  # ids pci.ids lacks
        copies.append(("%s dropped" % device_id,
                       "".join(l for l in lines if "{%s," % device_id not in l)))
    copies.append(("515A filed as RV200 (pci.ids lacks it)", text.replace('{0x515A, "RV100"', '{0x515A, "RV200"')))
    copies.append(("4237 filed as RS100", text.replace('{0x4237, "RS200"', '{0x4237, "RS100"')))
    copies.append(("4E44 filed as RV200", text.replace('{0x4E44, "R300"', '{0x4E44, "RV200"')))
    faults = []
    if check(table(text), data, devices):
        faults.append("the real families.h fails")
    for what, copy in copies:
        if copy == text:
            faults.append("%s: the copy is not broken (entry moved?)" % what)
        elif not check(table(copy), data, devices):
            faults.append("%s: not caught" % what)
        else:
            print("caught: %s" % what)
    return faults, len(copies) + 1


def main():
    args = sys.argv[1:]
    selftest = args[:1] == ["--self-test"]
    if selftest:
        args = args[1:]
    text = open(args[0], encoding="ascii").read()
    data = drivers(open(args[1], encoding="ascii").read())
    devices = ati_devices(args[2])
    if selftest:
        faults, checked = self_test(text, data, devices)
    else:
        faults = check(table(text), data, devices)
        checked = len(table(text)) + 1  # each entry, and the table as a whole
    for fault in faults:
        print(fault)
    print("%d passed, %d failed" % (max(checked - len(faults), 0), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
