#!/usr/bin/env bash
# Window-shape benchmark: RegionFromMaskBitmap against a GetPixel-per-pixel builder on
# the same 1000 x 1000 mask, in one run. ./run bench builds and starts the display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe="$top/build/bin/region_bench.exe"
[ -f "$exe" ] || { echo "region_bench.exe is not built (./run bench builds it)" >&2; exit 1; }
cd "$top/build/bin"
"$top/cmake/wine-exec" "$exe"
