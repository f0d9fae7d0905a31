#!/usr/bin/env bash
# Runs an end-to-end test program on a screen of another size and depth: a virtual
# display of its own (cmake/display) and a Wine prefix of its own
# (build/wineprefix-WxHxD, made once), both stopped again afterwards. The suite's
# display and prefix are not touched.
# usage: screen_mode.sh <build> <WxHxD> <program.exe> [arguments...]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 mode=$2
shift 2
export VELOTUNE_PREFIX=wineprefix-$mode
"$top/cmake/display" start "$mode"
trap '"$top/cmake/display" stop "$mode"' EXIT
export DISPLAY=$(cat "$build/display-$mode")
"$top/cmake/prefix" "$build"
cd "$build/bin"
"$top/cmake/wine-exec" "$@"
