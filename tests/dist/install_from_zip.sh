#!/usr/bin/env bash
# Installs the release zip as a user does and runs the plug-in from there: the
# zip's SHA-256 file matches it, it holds exactly the four files, its DLL is
# the one the other tests ran, and, unpacked into a fresh plug-in folder whose
# path has Japanese characters in it, quorvex.auf loads in the reference host
# under Wine and passes the first-run scenario. The run's log (with the menu
# dump the readme test reads) goes to WORK/run.log.
# Usage: install_from_zip.sh ZIP DLL REFHOST SCENARIO WORK
set -uo pipefail
zip=$1 dll=$2 refhost=$3 scenario=$4 work=$5
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

failed=0
fail() { echo "FAIL $*"; failed=1; }

(cd "$(dirname "$zip")" && sha256sum --check --quiet "$(basename "$zip").sha256") ||
  fail "$(basename "$zip").sha256 does not match the zip"
entries=$(unzip -Z1 "$zip" | paste -sd' ')
[ "$entries" == "quorvex.auf readme.txt readme-en.txt LICENSE" ] ||
  fail "zip entries: expected quorvex.auf readme.txt readme-en.txt LICENSE, got $entries"

rm -rf "$work"
plugins="$work/ユーザー/動画編集/plugins"
mkdir -p "$plugins"
unzip -q "$zip" -d "$plugins" || fail "unzip $zip"
cmp -s "$dll" "$plugins/quorvex.auf" || fail "the zip's quorvex.auf differs from $dll"

"$root/scripts/wine-run" "$refhost" --plugin "$plugins/quorvex.auf" --ini "$plugins/settings.ini" \
  --script "$scenario" --out "$work/ユーザー/out" 2>&1 | tr -d '\r' | tee "$work/run.log"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || fail "the first-run scenario with $plugins/quorvex.auf: exit status $rc"
exit "$failed"
