#!/usr/bin/env bash
# Runs the GDI probe through the stand-in and through Wine and compares the
# outputs line by line.
# Usage: gdi_probe.sh NATIVE_PROBE WINE_RUN WINDOWS_PROBE
set -uo pipefail
native=$1 wine_run=$2 windows=$3

if [ ! -x "$native" ]; then
  echo "SKIP: no native probe at $native; build the native preset first (make test does)"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$native" >"$dir/standin.txt" || { echo "FAIL: the stand-in's probe exited with $?"; exit 1; }
"$wine_run" "$windows" 2>/dev/null | tr -d '\r' >"$dir/wine.txt" || { echo "FAIL: the probe under Wine exited with $?"; exit 1; }
if cmp -s "$dir/wine.txt" "$dir/standin.txt"; then
  echo "stand-in and Wine agree on $(grep -c '' "$dir/wine.txt") lines"
  exit 0
fi
diff -u --label wine "$dir/wine.txt" --label standin "$dir/standin.txt" | head -40
echo "FAIL: the stand-in differs from Wine (first differences above)"
exit 1
