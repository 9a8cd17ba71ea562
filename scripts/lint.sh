#!/usr/bin/env bash
# clang-tidy with the tree's .clang-tidy over every file of ours in a build's
# compile commands, JOBS at a time (default 2): prints each finding and fails
# on any (make lint, the ctest `lint`). Generated files and the fuzz corpus are
# not in the compile commands; stb, GoogleTest and the system headers are
# outside .clang-tidy's header filter.
# A cross build's database (win32: mingw) is read as that compiler sees it: its
# target and its own header folders.
# Usage: lint.sh [BUILD_DIR [FILE...]]   (default build/native, every file)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/native}
shift || true
tidy=${CLANG_TIDY:-$(command -v clang-tidy-14 || command -v clang-tidy)}
if [ -z "$tidy" ]; then echo "FAIL: no clang-tidy (scripts/install-deps.sh installs it)"; exit 1; fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "FAIL: no $build/compile_commands.json (cmake --preset native writes it)"
  exit 1
fi

if [ $# -eq 0 ]; then
  mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" <<'PY'
import json, os, sys
db, root = sys.argv[1], sys.argv[2]
build = os.path.dirname(os.path.abspath(db))
seen = set()
for e in json.load(open(db)):
    f = os.path.normpath(os.path.join(e["directory"], e["file"]))
    ours = f.startswith(root + "/") and not f.startswith(build + "/")
    if ours and f.endswith((".cpp", ".cc")) and f not in seen:
        seen.add(f)
        print(f)
PY
  )
else
  files=("$@")
fi

# The C++ compiler of the database; a mingw one names its target and header
# folders, which clang-tidy would not find on its own.
extra=()
compiler=$(python3 -c 'import json, shlex, sys
e = next(e for e in json.load(open(sys.argv[1])) if e["file"].endswith(".cpp"))
print(e["arguments"][0] if "arguments" in e else shlex.split(e["command"])[0])' "$build/compile_commands.json")
case $(basename "$compiler") in
  *-mingw32-*)
    target=$(basename "$compiler")
    target=${target%%-g++*}
    extra=(--extra-arg=--target="$target" --extra-arg=-nostdinc)
    while read -r dir; do extra+=(--extra-arg=-isystem"$dir"); done < <(
      "$compiler" -xc++ -E -v - </dev/null 2>&1 | sed -n '/#include <...> search starts here/,/End of search list/p' |
        sed -n 's/^ \(\/.*\)$/\1/p')
    ;;
esac

# Debian 12's clang-tidy 14 and Debian 13's 19 both find nothing in the tree;
# the version used is named, since another may check more.
version=$("$tidy" --version | grep -oE 'version [0-9]+' | head -1)
version=${version#version }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
start=$(date +%s)
printf '%s\n' "${files[@]}" | xargs -P "${JOBS:-2}" -I{} bash -c \
  '"$1" -p "$2" --quiet "$3" "${@:5}" >"$4/$(echo "$3" | tr / _).log" 2>&1 || echo "$3" >>"$4/failed"' \
  _ "$tidy" "$build" {} "$out" "${extra[@]}"
# Findings only: the per-file "N warnings generated." counts are noise.
cat "$out"/*.log | grep -vE '^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$'
findings=$(cat "$out"/*.log | grep -cE '(warning|error): ')
if [ -s "$out/failed" ] || [ "$findings" -ne 0 ]; then
  echo "FAIL clang-tidy $version: $findings findings in $(sort -u "$out/failed" | wc -l) of ${#files[@]} files" \
    "($(($(date +%s) - start)) s)"
  exit 1
fi
echo "ok clang-tidy $version: ${#files[@]} files, no findings ($(($(date +%s) - start)) s)"
