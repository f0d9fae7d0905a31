#!/usr/bin/env python3
"""busprobe's chip family table (busprobe/families.h) held against Debian's pci.ids.

pci.ids names each ATI device with its chip first ("5159  RV100 [Radeon 7000 / Radeon
VE]"). Every id of the table must be an ATI device of the family the table gives it, and
every ATI graphics device pci.ids names with one of those chips must be in the table.
usage: chip_family_ids_test.py families.h pci.ids
"""
import re
import sys

# Names pci.ids gives chips that the drivers count as another family.
ALIASES = {
    "RS250": "RS200",   # 4437, Mobility Radeon 7000 IGP
    "RS200M": "RS200",  # 4337, the mobile IGP 330M-350M
}


def table(header):
    text = open(header, encoding="ascii").read()
    body = text[text.index("kChipFamilies[]"):]
    rows = re.findall(r'\{0x([0-9A-Fa-f]{4}),\s*"(\w+)",', body)
    return {int(i, 16): family for i, family in rows}


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


def main():
    families = table(sys.argv[1])
    devices = ati_devices(sys.argv[2])
    faults = []
    if not families:
        faults.append("the table was not read")
    for device_id, family in sorted(families.items()):
        name = devices.get(device_id)
        if name is None:
            faults.append("%04x: no ATI device of that id in pci.ids" % device_id)
        elif chip(name) != family:
            faults.append("%04x: the table says %s, pci.ids says %r" % (device_id, family, name))
    wanted = set(families.values())
    for device_id, name in sorted(devices.items()):
        if chip(name) in wanted and "Bridge" not in name and device_id not in families:
            faults.append("%04x %r: a %s chip missing from the table" % (device_id, name, chip(name)))
    for fault in faults:
        print(fault)
    checked = len(families) + 1  # each entry, and the table as a whole
    print("%d passed, %d failed" % (max(checked - len(faults), 0), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
