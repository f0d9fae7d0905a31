#!/usr/bin/env bash
# The README's pictures of the installer's first page: docs/installer_en.png and
# docs/installer_cht.png (system language of Taiwan: LC_ALL=zh_TW.UTF-8). Runs the
# installer in a 32-bit Wine prefix of its own under build/, on the virtual display.
# Usage: installer_shots.sh [<setup.exe>]   (default: build/release/VelotuneSetup-1.0a.exe)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build"
setup="${1:-$build/release/VelotuneSetup-1.0a.exe}"
[ -f "$setup" ] || { echo "installer_shots: no $setup (./run release first)" >&2; exit 1; }
"$top/cmake/display" start
export DISPLAY=$(cat "$build/display")
export WINEPREFIX="$build/release-shots/prefix" WINEARCH=win32 WINEDEBUG=-all
export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINELOADER" wineboot -i >/dev/null 2>&1
  "$WINESERVER" -w
fi
"$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A crash ends the installer at once: no debugger started, none asked for.
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
"$WINELOADER" reg add "$aedebug" /v Debugger /d '' /f >/dev/null 2>&1
"$WINELOADER" reg add "$aedebug" /v Auto /d 1 /f >/dev/null 2>&1

shot() {  # <LC_ALL> <caption> <png>
  "$WINESERVER" -k 2>/dev/null || true; "$WINESERVER" -w 2>/dev/null || true
  LC_ALL="$1" "$WINELOADER" "$setup" >/dev/null 2>&1 &
  local pid=$! line=""
  for _ in $(seq 120); do
    line=$(xwininfo -root -tree | grep -F "\"$2\"" | head -1) && [ -n "$line" ] && break
    sleep 0.5
  done
  [ -n "$line" ] || { echo "installer_shots: no window \"$2\"" >&2; kill $pid; return 1; }
  sleep 2
  local geometry; geometry=$(echo "$line" | sed 's/.*) *\([0-9]*x[0-9]*+-*[0-9]*+-*[0-9]*\).*/\1/')
  import -window root -crop "$geometry" +repage "$3"
  echo "== $3 ($geometry)"
  "$WINESERVER" -k 2>/dev/null || true
  wait $pid 2>/dev/null || true
}
shot en_US.UTF-8 "Zyk Velotune V1.0a Setup" "$top/docs/installer_en.png"
shot zh_TW.UTF-8 "Zyk Velotune V1.0a 安裝" "$top/docs/installer_cht.png"
