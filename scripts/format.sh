#!/usr/bin/env bash
# Our C++ files through clang-format and the tree's .clang-format. Without
# --check it rewrites them in place (make format); with --check it rewrites
# nothing and fails, naming each file that differs and showing the first
# differing lines (the ctest `format`).
# Usage: format.sh [--check] [FILE...]
# With no files: every .cpp and .h of ours. The fuzz corpus is data, and stb,
# GoogleTest and the system headers are not ours.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
check=0
if [ "${1:-}" = "--check" ]; then check=1; shift; fi
format=${CLANG_FORMAT:-$(command -v clang-format-14 || command -v clang-format)}
if [ -z "$format" ]; then echo "FAIL: no clang-format (scripts/install-deps.sh installs it)"; exit 1; fi

if [ $# -eq 0 ]; then
  cd "$root"
  mapfile -t files < <(find host state view window platform refhost tests tools \
    -path tests/fuzz/corpus -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
else
  files=("$@")
fi

if [ $check -eq 0 ]; then
  exec "$format" -i "${files[@]}"
fi
bad=0
for f in "${files[@]}"; do
  if ! "$format" "$f" | cmp -s - "$f"; then
    echo "FAIL $f is not formatted (make format rewrites it):"
    "$format" "$f" | diff -u "$f" - | sed -n '3,14p'
    bad=$((bad + 1))
  fi
done
# The tree is laid out alike by Debian 12's clang-format 14 and Debian 13's 19;
# the version used is named, since another may lay out a file differently.
version=$("$format" --version | grep -oE 'version [0-9]+' | head -1)
if [ $bad -ne 0 ]; then echo "$bad of ${#files[@]} files not formatted (clang-format ${version#version })"; exit 1; fi
echo "ok ${#files[@]} files formatted (clang-format ${version#version })"
