#!/usr/bin/env bash
# Every make command in README.md's "Build and test (Debian)" block is a
# Makefile target, and a test runs it: a test that runs `make T` carries the
# label make:T (make_test.cmake sets it from the command itself), and the
# commands CI runs as its own steps are named on the command line.
# Usage: check_make_commands.sh README CTEST BUILD_DIR [COVERED_BY_CI...]
set -uo pipefail
readme=$1 ctest=$2 build=$3
shift 3
ci=" $* "
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/readme/lib.sh
source "$here/lib.sh"

block=$(readme_block "$readme" "## Build and test (Debian)") || { echo "$block"; exit 1; }
targets=$(sed -n 's/^make \([a-z][a-z0-9_-]*\).*/\1/p' <<<"$block")
labelled=" $("$ctest" --test-dir "$build" --print-labels | sed -n 's/^ *make:\(.*\)$/\1/p' | paste -sd' ') "
makefile=$(dirname "$readme")/Makefile

failed=0
for t in $targets; do
  grep -q "^$t:" "$makefile" || { echo "FAIL README.md lists make $t: the Makefile has no target $t"; failed=1; }
  case "$ci" in *" $t "*) echo "make $t: CI runs it"; continue ;; esac
  case "$labelled" in
    *" $t "*) echo "make $t: $("$ctest" --test-dir "$build" -N -L "^make:$t\$" | sed -n 's/^ *Test *#[0-9]*: //p' | paste -sd' ')" ;;
    *) echo "FAIL README.md lists make $t, and no test runs it (a test that does carries the label make:$t)"; failed=1 ;;
  esac
done
[ -n "$targets" ] || { echo "FAIL README.md: no make command in the block"; failed=1; }
exit "$failed"
