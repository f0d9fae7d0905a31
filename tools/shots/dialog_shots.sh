#!/usr/bin/env bash
# Makes docs/dialog_en.png and docs/dialog_zh.png: the main dialog with moved sliders
# and the profile list open, in English and Chinese. Needs the display and prefix
# (./run test or cmake/display start + cmake/prefix build).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
export DISPLAY=${DISPLAY:-$(cat "$top/build/display")}
mkdir -p "$top/docs"
cd "$top/build/bin"
for lang in en zh; do
  locale=C.UTF-8; [ "$lang" = zh ] && locale=zh_TW.UTF-8
  LC_ALL=$locale "$top/cmake/wine-exec" dialog_shots.exe "$lang" "shot_$lang.bmp"
  # The dialog sits at x = 610 on the 1280-pixel screen; the black around its face goes.
  convert "shot_$lang.bmp" -crop 500x560+600+0 +repage -bordercolor black -border 1 \
          -fuzz 2% -trim +repage -bordercolor black -border 6 "$top/docs/dialog_$lang.png"
  rm -f "shot_$lang.bmp"
done
echo "docs/dialog_en.png docs/dialog_zh.png"
