#!/usr/bin/env python3
"""Whether a failed run of a test that drives GenPort1 met the one known fault of Wine's
driver host: its close of the device and the service's stop race, the stop unloads
GenPort1.sys while the host's dispatch thread still runs in it, and that thread faults.

  host_fault.py LOG START          reads the driver host's log from byte START (the
                                   lines written during the run); exit 0 and the reason
                                   with the fault line when the fault is there, exit 1
                                   and why not
  host_fault.py --count LOG START  how many such faults those lines hold

The fault counts only when both hold: the accessed address lies in the range of a
GenPort1.sys image the host announced (load base .. base + SizeOfImage), and that
image's stop had begun before the fault line."""
import re
import sys

# Other processes of the prefix write to the same log, so a line may hold the end of
# another's: every mark is found wherever it lies, in the order written.
MARK = re.compile(r"GenPort1 image (?:0x)?(?P<base>[0-9A-Fa-f]+) size (?:0x)?(?P<size>[0-9A-Fa-f]+)"
                  r"|(?P<stop>GenPort1 stop begins)"
                  r"|(?P<fault>wine: Unhandled page fault on \w+ access to (?:0x)?(?P<address>[0-9A-Fa-f]+)"
                  r"[^\n]*)")


def host_faults(text):
    """The fault lines that count, each with the image it fell in; and all fault lines."""
    images = []  # [base, size, stop began], in the order the hosts announced them
    counted, faults = [], []
    for m in MARK.finditer(text):
        if m["base"]:
            images.append([int(m["base"], 16), int(m["size"], 16), False])
        elif m["stop"] and images:
            images[-1][2] = True
        elif m["fault"]:
            address = int(m["address"], 16)
            faults.append(m["fault"].strip())
            for base, size, stopped in images:
                if stopped and base <= address < base + size:
                    counted.append((m["fault"].strip(), base, size))
                    break
    return counted, faults


def classify(text):
    """(True, reason) for the host's fault in an unloaded image, else (False, why not)."""
    counted, faults = host_faults(text)
    if counted:
        line, base, size = counted[0]
        return True, ("the driver host faulted in GenPort1.sys's image after its stop began "
                      f"(image {base:#x}, {size:#x} bytes):\n{line}")
    if faults:
        return False, ("the driver host's faults lie outside every GenPort1.sys image whose "
                       "stop had begun:\n" + "\n".join(faults))
    return False, "no fault of the driver host during the run"


def main():
    arguments = sys.argv[1:]
    count = arguments[:1] == ["--count"]
    if count:
        arguments = arguments[1:]
    if len(arguments) != 2:
        sys.exit("usage: host_fault.py [--count] LOG START")
    try:
        with open(arguments[0], "rb") as log:
            log.seek(int(arguments[1]))
            text = log.read().decode("utf-8", "replace")
    except FileNotFoundError:
        text = ""
    if count:
        print(len(host_faults(text)[0]))
        return
    found, reason = classify(text)
    print(reason)
    sys.exit(0 if found else 1)


if __name__ == "__main__":
    main()
