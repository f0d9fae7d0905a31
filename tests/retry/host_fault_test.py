#!/usr/bin/env python3
"""Cases of cmake/host_fault.py, run as the launcher runs it: a log file and the byte
where the test's run began."""
import os
import subprocess
import sys
import tempfile

CLASSIFIER = os.path.join(os.path.dirname(__file__), "..", "..", "cmake", "host_fault.py")
IMAGE = "0104:warn:debugstr:vDbgPrintExWithPrefix 00000000:00000001: GenPort1 image 10000000 size 0001A000"
STOP = "0108:warn:debugstr:vDbgPrintExWithPrefix 00000000:00000001: GenPort1 stop begins"
OTHER = "0040:fixme:ntoskrnl:KeSomething stub"


def fault(address):
    return (f"wine: Unhandled page fault on write access to {address} at address 7BC3E5A8 "
            "(thread 0110), starting debugger...")


# (name, lines before the run, lines during the run, recognised)
CASES = [
    ("fault in the image after its stop", [OTHER], [IMAGE, OTHER, STOP, fault("10004C20")], True),
    ("fault at the image's base", [], [IMAGE, STOP, fault("10000000")], True),
    ("64-bit addresses", [], [IMAGE.replace("10000000", "0000000180000000"), STOP,
                             fault("0000000180019FFC")], True),
    ("late fault of a stopped host after the next host started", [],
     [IMAGE, STOP, IMAGE, fault("10000010")], True),
    ("address just past the image", [], [IMAGE, STOP, fault("1001A000")], False),
    ("address below the image", [], [IMAGE, STOP, fault("0FFFFFFC")], False),
    ("fault in the image before its stop began", [], [IMAGE, fault("10004C20"), STOP], False),
    ("fault in the image of a running host, an earlier one stopped", [],
     [IMAGE.replace("10000000", "20000000"), STOP, IMAGE, fault("10004C20")], False),
    ("fault before the test started", [IMAGE, STOP, fault("10004C20")], [IMAGE, STOP, OTHER], False),
    ("no fault at all", [], [IMAGE, OTHER, STOP], False),
    ("no image announced", [], [STOP, fault("10004C20")], False),
    ("a fault line written on the end of another process's line", [],
     [IMAGE, STOP + fault("10004C20")], True),
]


def run(before, during, *options):
    with tempfile.NamedTemporaryFile("w", suffix=".log", delete=False) as log:
        log.write("".join(line + "\n" for line in before))
        start = log.tell()
        log.write("".join(line + "\n" for line in during))
    try:
        result = subprocess.run([sys.executable, CLASSIFIER, *options, log.name, str(start)],
                                capture_output=True, text=True)
    finally:
        os.unlink(log.name)
    return result


def main():
    failed = 0
    for name, before, during, expected in CASES:
        result = run(before, during)
        found = result.returncode == 0
        # A recognised fault is reported with its line, for the retry's message.
        said = not found or "Unhandled page fault" in result.stdout
        if found != expected or not said or result.returncode not in (0, 1):
            failed += 1
            print(f"FAIL {name}: exit {result.returncode}, expected {0 if expected else 1}\n"
                  f"{result.stdout}{result.stderr}")
        else:
            print(f"ok   {name}")
    # The benchmark's count: the faults that count, not those outside or before the stop.
    counted = run([fault("10004C20")], [IMAGE, fault("10000100"), STOP, fault("10004C20"),
                                        fault("2000000"), IMAGE, STOP, fault("10000010")], "--count")
    if counted.stdout.strip() != "2":
        failed += 1
        print(f"FAIL the count: {counted.stdout}{counted.stderr}")
    missing = subprocess.run([sys.executable, CLASSIFIER, "/nonexistent/host.log", "0"],
                             capture_output=True, text=True)
    if missing.returncode != 1:
        failed += 1
        print(f"FAIL a missing log: exit {missing.returncode}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
