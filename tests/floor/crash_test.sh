#!/usr/bin/env bash
# A test program that crashes must fail at once: ended by the fault (exit code 5, the low
# byte of the access violation 0xC0000005), not held by a crash debugger until ctest's
# timeout.
#   crash_test.sh <crash_on_purpose.exe>
set -u
limit=15
started=$(date +%s)
timeout $((limit * 4)) "$(dirname "$0")/../../cmake/wine-exec" "$1" >/dev/null 2>&1
rc=$?
took=$(($(date +%s) - started))
echo "crash_on_purpose: exit code $rc after ${took} s"
if [ "$rc" -eq 124 ]; then
  echo "FAIL: still running after $((limit * 4)) s: a crash debugger holds it"; exit 1
fi
if [ "$rc" -ne 5 ]; then
  echo "FAIL: expected exit code 5 (access violation)"; exit 1
fi
if [ "$took" -gt "$limit" ]; then
  echo "FAIL: took longer than $limit s"; exit 1
fi
echo "crash ended the program at once"
