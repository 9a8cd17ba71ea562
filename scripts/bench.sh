#!/usr/bin/env bash
# Times the real DLL in the reference host under Wine and prints one table:
# per-frame and per-drag-step medians of the plug-in beside the work its design
# requires, its picture's GDI work and, on a drag step, the drag cursor (see
# refhost/measure/bench_required.cpp), ending with the worst ratios. With
# --soak N it soaks instead (N frames and N random events).
#   scripts/bench.sh              the table (make bench)
#   scripts/bench.sh --tiny       one small frame, a few iterations
#   scripts/bench.sh --breakdown  the table, then where a large drag step's
#                                 time goes and what unused alternatives cost
#                                 (make bench BREAKDOWN=1)
#   scripts/bench.sh --soak N     the soak alone (make soak: N = 10000)
# The Wine session's screen (scripts/wine-run) holds the 1920 by 1080 client area.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$root/build/win32/refhost.exe
out=$root/build/bench
mkdir -p "$out"
if [ ! -f "$exe" ]; then echo "bench: build the win32 preset first (make plugin)" >&2; exit 1; fi
case "${1:-}" in
  --soak) args=(--soak "${2:?N}" --seed "${3:-1}") ;;
  --tiny) args=(--bench --tiny) ;;
  --breakdown) args=(--bench --breakdown) ;;
  *) args=(--bench) ;;
esac
# Inside a Wine session (make test) its display serves; else one of its own.
if [ -n "${TAVIMO_WINE_SESSION:-}" ]; then exec "$root/scripts/wine-run" "$exe" --ini "$out/bench.ini" "${args[@]}"; fi
exec "$root/scripts/wine-run" --session "$root/scripts/wine-run" "$exe" --ini "$out/bench.ini" "${args[@]}"
