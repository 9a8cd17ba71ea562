#!/usr/bin/env bash
# A Wine program that never ends (Notepad, waiting for its user) is stopped
# once it has run TAVIMO_WINE_TIMEOUT seconds: scripts/wine-run says that it
# hung, fails with 124, and leaves no process of it behind.
# Usage: hang_bounded.sh WINE_RUN
set -uo pipefail
start=$SECONDS
out=$(TAVIMO_WINE_TIMEOUT=15 "$1" notepad 2>&1)
rc=$?
failed=0
fail() { echo "FAIL $*"; failed=1; }
[ "$rc" = 124 ] || fail "exit status $rc, expected 124"
grep -q "^wine-run: FAIL notepad hung: no end after [0-9]* s" <<<"$out" || fail "no line saying it hung: $out"
# A zombie left for its parent to reap runs nothing.
ps -eo stat=,args= | grep -v '^Z' | grep -q '[n]otepad' && fail "notepad still running"
[ "$failed" = 1 ] || echo "ok: notepad stopped after $((SECONDS - start)) s as hung, nothing left running"
exit "$failed"
