#!/usr/bin/env bash
# Runs that share the machine's Wine session leave each other alone. With a
# person's interactive reference host open on a screen of its own, as make run
# opens it (a Wine session of its own), session A
# runs a long program (a soak) while session B ends and session C stops a
# hung program. A must end passed with its whole output, B and C pass, the
# person's host is still there at the end (then killed: its wine-run fails
# saying so, and its session ends with it), and then nothing of these runs is left.
# Usage: side_by_side.sh WINE_RUN REFHOST HANG_SCRIPT WORK
set -uo pipefail
wine_run=$1 refhost=$2 hang=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
failed=0
fail() { echo "FAIL $*"; failed=1; }
# Under qemu a Wine start takes about a minute.
soak=6000 starting=120 window=(--window)
if "$wine_run" --emulated; then
  soak=2000 starting=900 window=()
  echo "side_by_side: under qemu the person's host runs in the shared session: a session of its own would boot for ten minutes more"
fi
waitfor() { # PATTERN FILE SECONDS
  local i
  for i in $(seq "$3"); do grep -qs "$1" "$2" && return 0; sleep 1; done
  return 1
}
alive() { kill -0 "$1" 2>/dev/null; }

# The person's screen.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
waitfor . "$work/display" 10 || fail "no screen for the person's host"

"$wine_run" --join
person=person-$$
export PERSON_DISPLAY=":$(cat "$work/display")"
DISPLAY=$PERSON_DISPLAY TAVIMO_WINE_RUN=$person "$wine_run" "${window[@]}" "$refhost" --ini "$work/person.ini" --report "$work/person.txt" \
  >"$work/person.log" 2>&1 &
person_pid=$!
waitfor '^report [0-9]* start' "$work/person.txt" "$starting" || fail "the person's host did not start: $(cat "$work/person.log")"

TAVIMO_WINE_RUN=soak-$$ "$wine_run" --session "$wine_run" "$refhost" --ini "$work/a.ini" --soak "$soak" >"$work/a.log" 2>&1 &
a=$!
waitfor '^soak: start' "$work/a.log" "$starting" || fail "session A's soak did not start: $(cat "$work/a.log")"
"$wine_run" --session true >"$work/b.log" 2>&1 || fail "session B: $(cat "$work/b.log")"
alive "$a" || fail "session A's soak ended before session B did: nothing overlapped"
"$wine_run" --session bash "$hang" "$wine_run" >"$work/c.log" 2>&1 || fail "session C: $(cat "$work/c.log")"
grep '^ok' "$work/c.log"
alive "$a" || fail "session A's soak ended before session C's hung run was stopped: nothing overlapped"
wait "$a" || fail "session A, exit status $?: $(tr -d '\r' <"$work/a.log" | tail -5)"
grep -q "^soak: $soak frames and $soak events .*: ok" <(tr -d '\r' <"$work/a.log") ||
  fail "session A's soak did not end with its ok line: $(tr -d '\r' <"$work/a.log" | tail -5)"
grep '^soak: [0-9]* frames' <(tr -d '\r' <"$work/a.log")

# The person's host, still there, ends the hard way: wine-run must not pass it.
pids=$(DISPLAY=$PERSON_DISPLAY "$wine_run" "${window[@]}" --processes "$person")
alive "$person_pid" && [ -n "$pids" ] || fail "the person's host is gone: $(cat "$work/person.log")"
# shellcheck disable=SC2086
kill -KILL $pids 2>/dev/null
wait "$person_pid" && fail "wine-run passed a host killed under it"
grep -q '^wine-run: FAIL refhost.exe ended by signal 9' "$work/person.log" ||
  fail "no line saying the person's host was killed: $(cat "$work/person.log")"
# Other clones' runs may share the session meanwhile: what is checked is that
# nothing of these runs is left (a desktop one of them opened serves them all).
left=$("$wine_run" --processes "soak-$$"; "$wine_run" --processes "$person")
[ -z "$left" ] || fail "processes of these runs left running: $left"
# The person's session ends with their window, within seconds, its prefix too.
if [ ${#window[@]} != 0 ]; then
  theirs=$(DISPLAY=$PERSON_DISPLAY "$wine_run" --window --status | sed -n 's/^wine-run: .*Wine session of \(.*\) is up.*/\1/p')
  for _ in $(seq 60); do
    left=$(DISPLAY=$PERSON_DISPLAY "$wine_run" --window --processes)
    [ -z "$left" ] && [ ! -e "$theirs" ] && break
    sleep 1
  done
  [ -z "$left" ] || fail "the person's Wine session outlived their window: $left"
  [ ! -e "$theirs" ] || fail "the person's Wine prefix outlived their window: $theirs"
fi
[ "$failed" = 1 ] || echo "ok: a $soak-step soak, a session's end and a hung run side by side, the person's host open throughout in a session of its own"
exit "$failed"
