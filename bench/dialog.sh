#!/usr/bin/env bash
# Start -> main dialog shown and OK -> keep-clock question shown, next to the fixed
# waits of the hardware brackets inside them (400 ms each), in one run.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top/build/bin"
"$top/cmake/wine-exec" dialog_bench.exe "${1:-3}" | tr -d '\r'
