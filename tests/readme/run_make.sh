#!/usr/bin/env bash
# Runs one of README.md's make commands as a person types it, in the top folder
# of the tree, and checks how it ended: its exit status, and a line its output
# must hold. Everything else the command prints is shown as it comes.
# Usage: run_make.sh ROOT STATUS PATTERN TARGET [VAR=VALUE...]
set -uo pipefail
# Variables given to an outer make (make test SEED=3) stay out of this one.
unset MAKEFLAGS MFLAGS MAKELEVEL
root=$1 status=$2 pattern=$3
shift 3
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$SECONDS
make -C "$root" --no-print-directory "$@" 2>&1 | tr -d '\r' | tee "$log"
rc=${PIPESTATUS[0]}
echo "make $*: exit status $rc after $((SECONDS - start)) s"
failed=0
[ "$rc" -eq "$status" ] || { echo "FAIL make $*: exit status $rc, expected $status"; failed=1; }
grep -qE -e "$pattern" "$log" || { echo "FAIL make $*: no output line matches: $pattern"; failed=1; }
exit "$failed"
