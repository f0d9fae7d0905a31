#!/usr/bin/env bash
# Cost of one hardware bracket on the NT road, next to its fixed 400 ms of waits; then a
# stress run of driver-road brackets: how many answered 0, and how many times Wine's
# driver host faulted in GenPort1.sys's unloaded image (cmake/host_fault.py over the
# lines the host log got meanwhile).
#   bracket.sh [rounds (10)] [stress cycles (300)]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/cmake/wine-env"
cd "$top/build/bin"
"$top/cmake/wine-exec" bracket_bench.exe "${1:-10}" | tr -d '\r'
start=$(stat -c %s "$velotune_host_log" 2>/dev/null || echo 0)
"$top/cmake/wine-exec" bracket_bench.exe --cycles "${2:-300}" | tr -d '\r'
printf '  host faults the retry would recognise %5s\n' \
  "$(python3 "$top/cmake/host_fault.py" --count "$velotune_host_log" "$start")"
