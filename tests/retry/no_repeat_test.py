#!/usr/bin/env python3
"""ctest as ./run test runs it: a failure is a failure.

    no_repeat_test.py <source folder> <build folder>

1. A test that fails on its first run and passes on its second fails ctest run with the
   arguments ./run gives it (and passes with a blanket repeat, which they must not hold).
2. In the build tree, only tests holding the driver's lock (prefix-hw) run through
   cmake/hw-retry, and every such test of a Windows program does."""
import json
import os
import re
import subprocess
import sys
import tempfile

FLAKY_PROJECT = """cmake_minimum_required(VERSION 3.16)
project(flaky NONE)
enable_testing()
add_test(NAME fails_once COMMAND sh -c "if [ -e ran ]; then exit 0; fi; touch ran; exit 1")
"""


def run_arguments(source):
    """The arguments ./run test hands ctest."""
    text = open(os.path.join(source, "run")).read()
    match = re.search(r"^\s*test\)(?:.|\n)*?\bctest ([^\n]*?)\s*;;", text, re.M)
    if not match:
        sys.exit("no ctest call found in ./run's test command")
    return match[1]


def flaky_outcome(arguments):
    with tempfile.TemporaryDirectory() as scratch:
        with open(os.path.join(scratch, "CMakeLists.txt"), "w") as f:
            f.write(FLAKY_PROJECT)
        build = os.path.join(scratch, "build")
        subprocess.run(["cmake", "-S", scratch, "-B", build], check=True, capture_output=True)
        return subprocess.run(["bash", "-c", "ctest " + arguments], cwd=build,
                              capture_output=True, text=True).returncode


def wrapped_tests(build):
    shown = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                           text=True, check=True)
    faults = []
    for test in json.loads(shown.stdout)["tests"]:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        locks = properties.get("RESOURCE_LOCK", [])
        command = " ".join(test.get("command", []))
        retried = "/cmake/hw-retry" in command
        windows = "/cmake/wine-exec" in command
        if retried and "prefix-hw" not in locks:
            faults.append(f"{test['name']}: retried, but does not hold prefix-hw")
        if windows and "prefix-hw" in locks and not retried:
            faults.append(f"{test['name']}: holds prefix-hw, but is not run through hw-retry")
    return faults


def main(source, build):
    failed = []
    arguments = run_arguments(source)
    if flaky_outcome(arguments) == 0:
        failed.append(f"ctest {arguments}: a test that failed once and then passed counts as passed")
    if flaky_outcome(arguments + " --repeat until-pass:2") != 0:
        failed.append("the flaky test does not pass with a repeat: it shows nothing")
    failed += wrapped_tests(build)
    for f in failed:
        print("FAIL " + f)
    print(f"ctest {arguments}: {len(failed)} fault(s)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
