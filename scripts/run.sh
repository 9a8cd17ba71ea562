#!/usr/bin/env bash
# Starts the reference host interactively with the real plug-in on the test card
# (or on the image or folder given): O opens an image, Space plays a folder,
# V shows or hides the plug-in window, C closes or reopens the video.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY is not set), so the interactive host cannot open its windows."
  echo "run: 'make demo' runs a headless tour and saves pictures into out/ instead."
  exit 0
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target quorvex refhost
exec "$root/scripts/wine-run" "$root/build/win32/refhost.exe" --ini "$root/build/win32/refhost.ini" "$@"
