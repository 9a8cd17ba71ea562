#!/usr/bin/env bash
# Runs a long step so a person can see it is alive: its output passes through
# as it comes, and whenever it has printed nothing for a minute a line says
# how long it has been running. The exit status is the step's own.
# Usage: progress.sh LABEL COMMAND [ARG...]
set -uo pipefail
label=$1
shift
start=$SECONDS
"$@" 2>&1 | {
  while :; do
    line=""
    if IFS= read -r -t "${PROGRESS_EVERY:-60}" line; then
      printf '%s\n' "$line"
    elif [ $? -gt 128 ]; then
      # A timed-out read keeps what it had of an unfinished line.
      [ -z "$line" ] || printf '%s\n' "$line"
      echo "$label: still running, $((SECONDS - start)) s so far"
    else
      printf '%s' "$line"
      break
    fi
  done
}
exit "${PIPESTATUS[0]}"
