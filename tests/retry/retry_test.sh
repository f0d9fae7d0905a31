#!/usr/bin/env bash
# The retry of the driver host's fault, on a small driver test (driver_bracket.exe) run
# through cmake/hw-retry as ctest runs the tests that drive GenPort1, with the simulated
# driver's stop race (sim/genport1/stop_race.h):
#   stall in the first driver only: the first run fails, the launcher says why with the
#     fault line, and the second run passes;
#   stall in every driver: the test fails after one retry;
#   an ordinary assertion failure: not retried.
#   retry_test.sh <source folder>   (in build/bin)
set -u
top=$1
source "$top/cmake/wine-env"
stall() { wine reg add 'HKLM\Software\ZykSim' /v StopRace /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
trap 'stall 0' EXIT
failed=0

# <case> <stall mode> <expected: pass|fail> <retries> <program arguments...>
check() {
  local name=$1 mode=$2 expected=$3 retries=$4; shift 4
  stall "$mode"
  local out rc=0
  out=$("$top/cmake/hw-retry" "$top/cmake/wine-exec" driver_bracket.exe "$@" 2>&1) || rc=$?
  local said; said=$(grep -c 'running the test once more' <<<"$out")
  local outcome=pass; [ "$rc" -ne 0 ] && outcome=fail
  local why=""
  [ "$outcome" = "$expected" ] || why="it ended $outcome (exit $rc)"
  [ "$said" -eq "$retries" ] || why="$why; $said retries"
  # Each run of the program ends with one verdict line: as many runs as said.
  local runs; runs=$(grep -cE '^(bracket [0-9]+:|[0-9]+ brackets closed)' <<<"$out")
  [ "$runs" -eq $((retries + 1)) ] || why="$why; $runs runs"
  if [ "$retries" -gt 0 ] && ! grep -q 'hw-retry: the first run failed.*' <<<"$out"; then
    why="$why; no reason given"
  fi
  if [ "$retries" -gt 0 ] && ! grep -q 'Unhandled page fault' <<<"$out"; then
    why="$why; no fault line"
  fi
  if [ -n "$why" ]; then
    failed=1
    printf 'FAIL %s: expected %s with %s retries, but %s\n%s\n' "$name" "$expected" "$retries" "${why#; }" "$out"
  else
    printf 'ok   %s\n' "$name"
    printf '%s\n' "$out" | sed 's/^/       /'
  fi
}

check "fault in the first run only" 1 pass 1 1
check "fault in every run" 2 fail 1 1
check "an assertion failure" 0 fail 0 --wrong
exit $failed
