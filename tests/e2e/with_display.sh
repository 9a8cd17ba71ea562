#!/usr/bin/env bash
# Runs a command with an X display: the one set, or a virtual screen of its own.
# The display number is drawn from a wide range: xvfb-run -a alone starts at 99
# for everyone, and two runs starting together can pick the same number, which
# leaves one of them talking to the other's server without its key.
# TAVIMO_SCREEN sets the screen's size (default 1600x1200).
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
exec xvfb-run -a -n $((200 + RANDOM % 700)) -s "-screen 0 ${TAVIMO_SCREEN:-1600x1200}x24 -nolisten tcp" "$@"
