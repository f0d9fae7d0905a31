#!/usr/bin/env python3
"""Every test of the build tree has a TIMEOUT of its own.

    timeouts.py <build folder>

A test without one waits for ctest's default of 25 minutes when it hangs; each test's
TIMEOUT is fitted to its measured time instead. Lists the tests without one (exit 1).
"""
import json
import subprocess
import sys


def main(build):
    shown = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                           text=True, check=True)
    tests = json.loads(shown.stdout)["tests"]
    missing = []
    for test in tests:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        if not properties.get("TIMEOUT"):
            missing.append(test["name"])
    for name in missing:
        print("%s: no TIMEOUT" % name)
    print("%d test(s), %d without a TIMEOUT" % (len(tests), len(missing)))
    return 1 if missing or not tests else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
