#!/usr/bin/env bash
# Runs pixel scenarios on both sides and compares their client-area pictures:
# natively (the plug-in's code against the software stand-in) and under Wine
# (the real DLL in the reference host, real GDI).
# Usage: differential.sh NATIVE_DRIVER WINE_RUN REFHOST_EXE OUT_DIR SCENARIO...
set -uo pipefail
native_driver=$1 wine_run=$2 refhost=$3 out=$4
shift 4

if [ ! -x "$native_driver" ]; then
  echo "SKIP: no native driver at $native_driver; build the native preset first (make test does)"
  exit 77
fi

status=0
for scenario in "$@"; do
  name=$(basename "$scenario" .txt)
  rm -rf "$out/$name" && mkdir -p "$out/$name/native" "$out/$name/wine"
  echo "== $name: native"
  "$native_driver" "$scenario" --out "$out/$name/native" --quiet || status=1
  echo "== $name: Wine"
  "$wine_run" "$refhost" --script "$scenario" --out "$out/$name/wine" --ini "$out/$name/refhost.ini" --quiet \
    | tr -d '\r' || status=1
  echo "== $name: native against Wine"
  "$native_driver" --compare "$out/$name/native" "$out/$name/wine" || status=1
done
exit $status
