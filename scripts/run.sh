#!/usr/bin/env bash
# Starts the reference host interactively with the real plug-in on the test card
# (or on the image or folder given): O opens an image, Space plays a folder,
# V shows or hides the plug-in window, C closes or reopens the video.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'HOW'
run: no display (DISPLAY is not set): the interactive host needs one for its windows.
run: a terminal of a desktop session has one; over SSH, connect with 'ssh -X' (or -Y);
run: on a machine without a screen, start a virtual one and watch it over VNC:
run:   Xvfb :5 -screen 0 1600x1200x24 &  DISPLAY=:5 make run  (viewer: x11vnc -display :5)
run: 'make demo' needs no display: it tours the magnifier and saves pictures into out/.
HOW
  exit 1
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target quorvex refhost
# A person's window: a Wine session of its own, open until they close it.
exec "$root/scripts/wine-run" --window "$root/build/win32/refhost.exe" --ini "$root/build/win32/refhost.ini" "$@"
