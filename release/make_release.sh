#!/usr/bin/env bash
# Makes the release from the shipped 32-bit folder, whatever files it holds:
#   <out>/Velotune-1.0a.zip        the folder as it runs plus the two readmes, under Velotune\
#   <out>/VelotuneSetup-1.0a.exe   the NSIS installer of the same files
# Usage: make_release.sh <shipped folder> <output folder>
# The readmes are kept as UTF-8 text in release/; the release gets them with CRLF line
# ends, the Chinese one in Big5 (code page 950), as the systems of the card's era read.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/.." && pwd)"
[ $# -eq 2 ] || { echo "usage: $0 <shipped folder> <output folder>" >&2; exit 2; }
dist="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
version=1.0a
zip_name="Velotune-$version.zip"
setup_name="VelotuneSetup-$version.exe"

[ -f "$dist/tunedeck.exe" ] || { echo "make_release: no tunedeck.exe in $dist" >&2; exit 1; }
for tool in zip iconv makensis; do
  command -v "$tool" >/dev/null || { echo "make_release: $tool is missing" >&2; exit 1; }
done

# The folder as the release holds it is put together in a scratch folder that goes
# when this script ends, so the output folder holds the two deliverables only.
rm -rf "$out/stage"
scratch="$(mktemp -d "$out/.stage.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
stage="$scratch/Velotune"
mkdir -p "$stage"
cp -a "$dist/." "$stage/"
sed 's/\r*$/\r/' "$here/readme_en.txt" > "$stage/Readme.txt"
iconv -f UTF-8 -t BIG5 "$here/readme_cht.txt" | sed 's/\r*$/\r/' > "$stage/Readme_CHT.txt"

# The zip: one folder, entries in a fixed order, no extra attributes.
rm -f "$out/$zip_name"
(cd "$scratch" && find Velotune -print | LC_ALL=C sort | zip -q -X -D "$out/$zip_name" -@)

# What the installer lays down and what its uninstaller removes: every file of the
# folder by name (never a whole folder by wildcard), then the subfolders, deepest first.
files="$scratch/files.nsh"
unfiles="$scratch/unfiles.nsh"
: > "$files"
: > "$unfiles"
(cd "$stage" && find . -type d | LC_ALL=C sort) | while read -r d; do
  rel="${d#./}"; [ "$d" = . ] && rel=""
  win="${rel//\//\\}"
  echo "SetOutPath \"\$INSTDIR${win:+\\$win}\"" >> "$files"
  (cd "$stage/$d" && find . -maxdepth 1 -type f | LC_ALL=C sort) | while read -r f; do
    name="${f#./}"
    echo "File \"$stage/${rel:+$rel/}$name\"" >> "$files"
    echo "!insertmacro REMOVE_FILE \"\$INSTDIR\\${win:+$win\\}$name\"" >> "$unfiles"
  done
done
(cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r d; do
  rel="${d#./}"
  echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >> "$unfiles"
done

rm -f "$out/$setup_name"
makensis -V2 -DSTAGE="$stage" -DFILES="$files" -DUNFILES="$unfiles" \
         -DOUTFILE="$out/$setup_name" -DICON="$top/tunedeck/res/tunedeck.ico" \
         "$here/velotune.nsi"
echo "== $out/$zip_name"
echo "== $out/$setup_name"
