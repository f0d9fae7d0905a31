#!/usr/bin/env bash
# Long run of the resident program: 500 dialog openings and closings, 100 Test runs
# (a 100 ms stand-in for Orbview.exe) and 1,000 profile saves and deletes, with the
# process's GDI objects, windows, handles and private memory at every 100th step.
#   bench/longrun.sh [openings] [tests] [profiles]
# Runs in a Wine prefix of its own (build/longrunprefix), beside the suite's.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
export VELOTUNE_PREFIX=longrunprefix
"$top/cmake/prefix"
source "$top/cmake/wine-env"
cd "$top/build/bin"
wine longrun.exe "${1:-500}" "${2:-100}" "${3:-1000}" | tr -d '\r'
