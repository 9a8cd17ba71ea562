#!/usr/bin/env bash
# Builds quorvex.auf as README.md's "On Windows" tells a person to, from the
# README's own lines, in a scratch copy of the tree, with only what a Windows
# machine does differently swapped in; then checks the DLL as the release zip's
# DLL is checked: zipped (make-zip.sh), installed from the zip and run through
# the first-run scenario (install_from_zip.sh), its PE headers and imports
# (check_pe.sh) and its version resource (versioncheck). The CMake lines must
# make the very DLL the win32 preset makes.
#   hand   the lines "without CMake", g++ and windres named as Debian's cross tools
#   cmake  the CMake lines, with stb's folder and a toolchain file that names
#          the cross compiler (windows-toolchain.cmake)
# Usage: windows_build.sh hand|cmake WORK REFHOST VERSIONCHECK OBJDUMP PRESET_DLL
set -uo pipefail
mode=$1 work=$2 refhost=$3 versioncheck=$4 objdump=$5 preset_dll=$6
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/readme/lib.sh
source "$here/lib.sh"

case "$mode" in
  hand)
    lines=$(readme_block "$root/README.md" "or without CMake") || { echo "$lines"; exit 1; }
    dll=quorvex.auf
    swapped=$(sed -E 's/(^|[[:space:]])g\+\+([[:space:]])/\1i686-w64-mingw32-g++-posix\2/; s/(^|[[:space:]])windres([[:space:]])/\1i686-w64-mingw32-windres\2/' <<<"$lines") ;;
  cmake)
    lines=$(readme_block "$root/README.md" "### On Windows") || { echo "$lines"; exit 1; }
    dll=build/quorvex.auf
    swapped=$(sed -E "s#-DSTB_INCLUDE_DIR=[^[:space:]]+#-DSTB_INCLUDE_DIR=/usr/include/stb#; s#^cmake -S .*#& -DCMAKE_TOOLCHAIN_FILE=$here/windows-toolchain.cmake#" <<<"$lines") ;;
  *) echo "FAIL unknown mode $mode"; exit 1 ;;
esac
# A README line of another shape is a change this test has to follow.
if ! grep -q -e i686-w64-mingw32-g++-posix -e CMAKE_TOOLCHAIN_FILE <<<"$swapped"; then
  printf 'FAIL README.md: the %s lines have nothing to swap for the cross tools:\n%s\n' "$mode" "$lines"
  exit 1
fi

rm -rf "$work"
copy_tree "$root" "$work/tree" && cd "$work/tree" || exit 1
echo "the README's lines, as run in $work/tree:"
while IFS= read -r line; do
  echo "\$ $line"
  bash -c "$line" 2>&1 || { echo "FAIL README.md ($mode): the line failed: $line"; exit 1; }
done <<<"$swapped"
[ -f "$dll" ] || { echo "FAIL README.md ($mode): the lines made no $dll"; exit 1; }

failed=0
if [ "$mode" == cmake ] && ! cmp -s "$dll" "$preset_dll"; then
  echo "FAIL README.md (cmake): its lines make a DLL other than the win32 preset's $preset_dll"
  failed=1
fi
bash "$root/scripts/make-zip.sh" "$work/zip/quorvex.zip" "$dll" "$root/docs/readme-ja.txt" "$root/docs/readme-en.txt" \
  "$root/LICENSE" "$mode" || failed=1
bash "$root/tests/dist/install_from_zip.sh" "$work/zip/quorvex.zip" "$dll" "$refhost" \
  "$root/tests/e2e/scenarios/first_run.txt" "$work/install" || failed=1
bash "$root/tests/win32/check_pe.sh" "$objdump" "$dll" || failed=1
"$root/scripts/wine-run" "$versioncheck" "$dll" 2>&1 | tr -d '\r' || failed=1
exit "$failed"
