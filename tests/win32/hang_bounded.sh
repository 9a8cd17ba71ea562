#!/usr/bin/env bash
# A Wine program that never ends (Notepad, waiting for its user) is stopped
# once it has run TAVIMO_WINE_TIMEOUT seconds: scripts/wine-run says that it
# hung, fails with 124, and leaves nothing of its run behind, while the Wine
# server and the session's own processes go on for every other run.
# Usage: hang_bounded.sh WINE_RUN
set -uo pipefail
wine_run=$1
tag=hang-$$-$RANDOM
start=$SECONDS
"$wine_run" --join 2>/dev/null
# The server and what its boot left; the services Wine starts on demand (also
# the session's) end when idle, and a desktop after its last window.
session=$("$wine_run" --session-processes | sort)
out=$(TAVIMO_WINE_RUN=$tag TAVIMO_WINE_TIMEOUT=15 "$wine_run" notepad 2>&1)
rc=$?
failed=0
fail() { echo "FAIL $*"; failed=1; }
[ "$rc" = 124 ] || fail "exit status $rc, expected 124"
grep -q "^wine-run: FAIL notepad hung: no end after [0-9]* s" <<<"$out" || fail "no line saying it hung: $out"
left=$("$wine_run" --processes "$tag")
[ -z "$left" ] || fail "processes of the hung run still running: $left"
gone=$(comm -23 <(echo "$session") <("$wine_run" --processes | awk '{print $1}' | sort))
[ -z "$gone" ] || fail "the Wine session lost processes $gone"
[ "$failed" = 1 ] || echo "ok: notepad stopped after $((SECONDS - start)) s as hung, nothing of its run left, the session whole"
exit "$failed"
