#!/usr/bin/env bash
# A short tour of the magnifier: the reference host runs the real plug-in
# headless under Wine on the test card and saves pictures of the whole plug-in
# window (title bar, menu bar and view) into out/.
# It says what each step is doing, then prints the pictures' paths; a step that
# fails shows its output. The tour fails when the caption buttons show letters
# instead of their glyphs (a Wine prefix without the Marlett font,
# scripts/wine-fonts.sh), or the Japanese title and menu text shows empty boxes
# (no Japanese face behind the title and menu fonts).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# A step of the demo: a line saying what it is and how long it takes here,
# then its output held back (Wine's own lines pass: the prefix and session
# progress), a line every minute while it runs, and everything it printed if
# it fails.
step() {
  local what=$1 log status=0
  shift
  echo "demo: $what" >&2
  log=$(mktemp)
  bash "$root/scripts/progress.sh" "demo: $what" "$@" 2>&1 | tr -d '\r' | tee "$log" |
    grep --line-buffered -E '^(wine-run|demo: )' >&2 || true
  status=${PIPESTATUS[0]}
  if [ "$status" != 0 ]; then
    grep -vE '^demo: ' "$log" >&2
    echo "demo: failed: $*" >&2
  fi
  rm -f "$log"
  return "$status"
}

# Natively a Wine start takes about a second; under qemu's emulator about a minute.
wine_speed="a few seconds here"
if "$root/scripts/wine-run" --emulated; then wine_speed="a few minutes here, under qemu's emulator"; fi
if [ -f build/win32/refhost.exe ]; then building="seconds"; else building="about a minute the first time"; fi

step "building the plug-in and the reference host ($building)" \
  bash -c 'cmake --preset win32 && cmake --build --preset win32 -j2 --target quorvex refhost'
mkdir -p out
rm -f out/tour-*.png

step "touring the magnifier under Wine, nine pictures ($wine_speed)" \
  "$root/scripts/wine-run" "$root/build/win32/refhost.exe" --script "$root/scripts/tour.txt" \
  --out "$root/out" --ini "$root/out/demo.ini" --quiet
ls -1 "$root"/out/tour-*.png
