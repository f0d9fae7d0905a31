#!/usr/bin/env bash
# Cost of one hardware bracket on the NT road, next to its fixed 400 ms of waits.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top/build/bin"
"$top/cmake/wine-exec" bracket_bench.exe "${1:-10}" | tr -d '\r'
