#!/usr/bin/env bash
# Compares the client-area pictures of the pixel scenarios between the two
# sides: natively (the plug-in's code against the software stand-in, run here)
# and under Wine (the real DLL in the reference host with real GDI, whose
# pictures the Wine scenario run left in OUT_DIR/NAME).
# Usage: differential.sh NATIVE_DRIVER OUT_DIR SCENARIO...
set -uo pipefail
native_driver=$1 out=$2
shift 2

if [ ! -x "$native_driver" ]; then
  echo "SKIP: no native driver at $native_driver; build the native preset first (make test does)"
  exit 77
fi

status=0
for scenario in "$@"; do
  name=$(basename "$scenario" .txt)
  if [ ! -f "$out/$name/manifest.txt" ]; then
    echo "FAIL $name: no pictures from the Wine run in $out/$name"
    status=1
    continue
  fi
  rm -rf "$out/native/$name" && mkdir -p "$out/native/$name"
  echo "== $name: native run"
  "$native_driver" "$scenario" --out "$out/native/$name" --ini "$out/native/$name.ini" --quiet >"$out/native/$name.log" \
    || { cat "$out/native/$name.log"; status=1; }
  tail -1 "$out/native/$name.log"
  echo "== $name: native against Wine"
  "$native_driver" --compare "$out/native/$name" "$out/$name" || status=1
done
exit $status
