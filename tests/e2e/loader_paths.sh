#!/usr/bin/env bash
# tunedeck.exe started from another current directory: every bitmap name the image
# loader receives (LoadImage, from Wine's resource trace of the program) is a full path
# in the program's own skin folder, and all the pictures of the dialog are among them.
# (Looking is not enough: Wine's loader also searches the program's folder for a
# relative name, which Windows does not.)
# Usage: loader_paths.sh <build folder>
set -euo pipefail
build="$(cd "$1" && pwd)"
top="$(cd "$(dirname "$0")/../.." && pwd)"
source "$top/cmake/wine-env"
export WINEPREFIX="$build/wineprefix"
work="$(mktemp -d "$build/loader-paths.XXXXXX")"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
pid=""

"$top/cmake/wine-exec" "$build/bin/simctl.exe" default >/dev/null
skin_unix="$build/dist/skin"
skin_win="$("$WINELOADER" winepath -w "$skin_unix" 2>/dev/null | tr -d '\r')"
[ -n "$skin_win" ] || { echo "FAIL: winepath gave no name for $skin_unix"; exit 1; }

# The program's current directory: an empty folder elsewhere.
cd "$work"
WINEDEBUG=+resource "$WINELOADER" "$build/dist/tunedeck.exe" 2> "$work/trace.txt" &
pid=$!
# The dialog's pictures are loaded once it is shown; the face is loaded at its erase.
for _ in $(seq 60); do
  grep -qi 'LoadImageW (.*face_usa\.bmp"' "$work/trace.txt" 2>/dev/null && break
  sleep 0.5
done
sleep 2
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""

# Trace lines read LoadImageW (0000000000000000,L"Z:\\path\\name.bmp",0,...): backslashes
# doubled.
grep -o 'LoadImageW ([0-9A-Fa-f]*,L"[^"]*\.[bB][mM][pP]"' "$work/trace.txt" | sed 's/^[^"]*"//; s/"$//; s/\\\\/\\/g' \
  | sort -u > "$work/opened.txt"
want="$(printf '%s\\' "$skin_win" | tr 'A-Z' 'a-z')"
status=0
count=$(wc -l < "$work/opened.txt")
echo "bitmap names loaded: $count (the skin folder: $skin_win)"
while read -r name; do
  lower="$(printf '%s' "$name" | tr 'A-Z' 'a-z')"
  if [ "${lower#"$want"}" = "$lower" ]; then echo "FAIL: not a path in the program's folder: $name"; status=1
  else echo "ok   $name"; fi
done < "$work/opened.txt"
# mask, face, five button strips, the horizontal thumb and channel
for pic in mask face_usa save_usa delete_usa ok_usa cancel_usa test_usa thumb_h channel_h; do
  grep -qi "\\\\$pic\.bmp\$" "$work/opened.txt" || { echo "FAIL: $pic.bmp was never loaded"; status=1; }
done
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
