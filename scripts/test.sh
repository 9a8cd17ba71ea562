#!/usr/bin/env bash
# make test: each preset configured, built and tested in turn, inside one Wine
# session (scripts/wine-run --session, from the Makefile), which boots in the
# background until the win32 preset's tests need it. A build or test run
# that prints nothing for a minute says that it is still going.
# Usage: test.sh PRESET...
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
for p in "$@"; do
  echo "== $p"
  cmake --preset "$p" >/dev/null
  [ ! -f "build/$p/budget.txt" ] || cat "build/$p/budget.txt"
  bash scripts/progress.sh "make test: building $p" cmake --build --preset "$p"
  # The Wine session boots while the native presets build and test.
  if [ "$p" = win32 ]; then bash scripts/wine-run --join; fi
  bash scripts/progress.sh "make test: testing $p" ctest --preset "$p"
done
