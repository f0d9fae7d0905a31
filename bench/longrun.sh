#!/usr/bin/env bash
# Long run of the resident program: 500 dialog openings and closings, 100 Test runs
# (a 100 ms stand-in for Orbview.exe) and 1,000 profile saves and deletes, with the
# process's GDI objects, windows, handles and private memory at every 100th step.
#   bench/longrun.sh [openings] [tests] [profiles]
# Runs in a Wine prefix of its own (build/longrunprefix), beside the suite's.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/cmake/wine-env"
export WINEPREFIX="$top/build/longrunprefix"
if [ ! -f "$WINEPREFIX/.velotune-ready" ]; then
  WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.velotune-ready"
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
cd "$top/build/bin"
wine longrun.exe "${1:-500}" "${2:-100}" "${3:-1000}" | tr -d '\r'
