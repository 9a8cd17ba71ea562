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
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then wine_speed="a few minutes here, under qemu's emulator"; fi
if [ -f build/win32/refhost.exe ]; then building="seconds"; else building="about a minute the first time"; fi

step "building the plug-in and the reference host ($building)" \
  bash -c 'cmake --preset win32 && cmake --build --preset win32 -j2 --target quorvex refhost'
mkdir -p out
rm -f out/tour-*.png

tour=$(mktemp --suffix=.txt)
trap 'rm -f "$tour"' EXIT
cat >"$tour" <<'TOUR'
# Nothing stored: the first run starts at level 2 with the ruler on.
settings clear
host largest 640 360
start
resize 288 288
frame card 640 360
show
open
screenshot window tour-01-level2.png
expect caption-glyphs
expect text-glyphs
# A press in the main window where the cyan and green bars meet the 1-pixel
# checkerboard; the view follows the pointer there.
main press 230 50
main move 240 58
main release 240 58
screenshot window tour-02-follow-press.png
wheel 120 *6
screenshot window tour-03-level8.png
command 104
main press 100 70
main release 100 70
screenshot window tour-04-black-grid-checkerboard.png
command 105
screenshot window tour-05-white-grid.png
mouse down 150 150
mouse move 110 120
mouse up 110 120
screenshot window tour-06-drag.png
# The numbered grid: frame column 50's label.
main press 55 304
main release 55 304
wheel 120 *16
screenshot window tour-07-level24.png
mouse middle 100 100
main press 400 300
main release 400 300
screenshot window tour-08-locked.png
mouse middle 100 100
command 103
mouse right 10 10
wheel -120 *24
screenshot window tour-09-reduced-half.png
stop
TOUR

step "touring the magnifier under Wine, nine pictures ($wine_speed)" \
  "$root/tests/e2e/with_display.sh" "$root/scripts/wine-run" "$root/build/win32/refhost.exe" --script "$tour" \
  --out "$root/out" --ini "$root/out/demo.ini" --quiet
ls -1 "$root"/out/tour-*.png
