#!/usr/bin/env bash
# Skin fuzz run: tools/skinfuzz/skin_fuzz.sh [count] [seed]
# Runs build/bin/skin_fuzz.exe in a Wine prefix of its own (build/fuzzprefix), so that
# its program instances, driver service and registry keys do not meet the test
# suite's. Needs a display (cmake/display start; export DISPLAY=$(cat build/display)).
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
export VELOTUNE_PREFIX=fuzzprefix
"$top/cmake/prefix"
source "$top/cmake/wine-env"
cd "$top/build/bin"
wine skin_fuzz.exe "${1:-1000}" "${2:-20261207}" | tr -d '\r'
