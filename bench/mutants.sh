#!/usr/bin/env bash
# Test strength as a figure: small, realistic faults (bench/mutants.txt), each applied
# alone to a scratch copy of the tree under build/mutants/, rebuilt incrementally, and
# met by the tests that must catch it. The working tree is never touched.
#   bench/mutants.sh [list] [pattern]   pattern: only faults whose line matches it
# One line per fault: caught, survived, site moved (its text is no longer in the file:
# not a pass), or no build (the fault does not compile: not a pass either); then totals.
set -euo pipefail
{  # read whole before running: the script and its list may be edited during a run
top=$(cd "$(dirname "$0")/.." && pwd)
list=$(cd "$(dirname "${1:-$top/bench/mutants.txt}")" && pwd)/$(basename "${1:-mutants.txt}")
pattern=${2:-}
scratch="$top/build/mutants/tree"
log="$top/build/mutants/log"
mkdir -p "$scratch/build" "$log"
cp "$list" "$log/list"

# The scratch copy: the developer's sources as they are now, with a build tree of its
# own (the first run builds it in full, later runs only what changed).
# A file is copied only when its bytes differ, and then gets a new time, so that a copy
# left faulty by an interrupted run is rebuilt too. A file the sources no longer have
# goes from the copy as well: a stale header there would be found before a moved one.
(cd "$top" && git ls-files -co --exclude-standard -z) | python3 -c '
import os, shutil, sys
top, scratch = sys.argv[1:3]
names = set(n for n in sys.stdin.buffer.read().decode().split("\0") if n)
for name in names:
    src, dst = os.path.join(top, name), os.path.join(scratch, name)
    if not os.path.isfile(src):
        continue
    if os.path.isfile(dst) and open(src, "rb").read() == open(dst, "rb").read():
        continue
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    shutil.copyfile(src, dst)
    shutil.copymode(src, dst)
for folder, dirs, files in os.walk(scratch):
    if folder == scratch:
        dirs.remove("build")
    for f in files:
        name = os.path.relpath(os.path.join(folder, f), scratch)
        if name not in names:
            os.remove(os.path.join(folder, f))
' "$top" "$scratch"
for f in arch arch-reason; do [ -f "$top/build/$f" ] && cp "$top/build/$f" "$scratch/build/"; done
echo "== building the scratch copy (log: $log/build.txt)"
"$scratch/run" build >"$log/build.txt" 2>&1 || { echo "the unchanged scratch copy does not build" >&2; exit 1; }
"$scratch/cmake/display" start
trap '"$scratch/cmake/display" stop' EXIT
export DISPLAY=$(cat "$scratch/build/display")
"$scratch/cmake/prefix" "$scratch/build"

rebuild() {
  local tree
  for tree in "$scratch/build/win32" "$scratch/build/win64" "$scratch/build"; do
    [ -f "$tree/CMakeCache.txt" ] || continue
    cmake --build "$tree" -j"$(nproc)" >>"$log/rebuild.txt" 2>&1 || return 1
  done
}

# apply <file> <text> <replacement>: 0 applied, 1 text not found. Only the first
# occurrence changes.
apply() {
  python3 - "$@" <<'EOF'
import sys
path, text, repl = sys.argv[1:4]
src = open(path, encoding="utf-8").read()
if text not in src:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(src.replace(text, repl, 1))
EOF
}

total=0; caught=0; survived=0; moved=0; nobuild=0; n=0
# The list is read on its own descriptor: Wine and ctest get no input from it.
while IFS= read -r -u 3 line; do
  case "$line" in ''|'#'*) continue ;; esac
  [ -n "$pattern" ] && ! grep -q -- "$pattern" <<<"$line" && continue
  # file @@ text @@ replacement @@ ctest names (regex) @@ gtest filter @@ note
  # Fields are split at "@@" with one space taken off each side, so a text may keep
  # its indentation and a replacement may be empty.
  IFS=$'\x1f' read -r file text repl tests filter note < <(python3 -c '
import sys
parts = [p[1:] if p.startswith(" ") else p for p in sys.argv[1].split("@@")]
print("\x1f".join(p[:-1] if p.endswith(" ") else p for p in parts))' "$line")
  n=$((n + 1)); total=$((total + 1))
  what="$file: $text -> $repl"
  if ! cp "$scratch/$file" "$log/saved" 2>/dev/null || ! apply "$scratch/$file" "$text" "$repl"; then
    moved=$((moved + 1)); printf '%-10s %s\n' "site moved" "$what"; continue
  fi
  result=survived
  if ! rebuild; then
    result="no build"
  else
    start=$(date +%s)
    if ! (cd "$scratch/build" && GTEST_FILTER="${filter:-*}" ctest -R "$tests" --timeout 300 \
          --output-on-failure >"$log/fault$n.txt" 2>&1); then
      result=caught
    elif ! grep -q "tests passed" "$log/fault$n.txt" || grep -q "No tests were found" "$log/fault$n.txt"; then
      result="no tests"  # a name that matches nothing proves nothing
    fi
    what="$what  [$tests${filter:+ $filter}, $(( $(date +%s) - start )) s]"
  fi
  cp "$log/saved" "$scratch/$file"
  touch "$scratch/$file"
  case "$result" in
    caught) caught=$((caught + 1)) ;;
    survived) survived=$((survived + 1)); [ -n "$note" ] && what="$what  ($note)" ;;
    *) nobuild=$((nobuild + 1)) ;;
  esac
  printf '%-10s %s\n' "$result" "$what"
done 3<"$log/list" </dev/null
rebuild || true
echo "== $total faults: $caught caught, $survived survived, $moved site moved, $nobuild no build or no tests"
exit
}
