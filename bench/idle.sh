#!/usr/bin/env bash
# Idle CPU of the resident program: tunedeck.exe on the default simulated card, its
# dialog open and nobody touching it. Prints the CPU time the Wine process used while
# it sat (clock ticks, 100 a second), which should stay at 0: the program keeps no
# timer of its own while idle.
#   bench/idle.sh [seconds]
# Runs in a Wine prefix of its own (build/idleprefix), beside the suite's.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds=${1:-20}
export VELOTUNE_PREFIX=idleprefix
"$top/cmake/prefix"
source "$top/cmake/wine-env"
"$top/cmake/wine-exec" "$top/build/bin/simctl.exe" default >/dev/null
cd "$top/build/dist"
"$top/cmake/wine-exec" ./tunedeck.exe &
program=$!
trap 'kill "$program" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
sleep 8  # start-up, the card's check and the dialog's first paint
cpu() { awk '{print $14 + $15}' "/proc/$program/stat"; }
before=$(cpu)
sleep "$seconds"
after=$(cpu)
echo "start-up: $before CPU ticks; idle: $((after - before)) CPU ticks in ${seconds} s (the dialog open)"
