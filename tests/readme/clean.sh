#!/usr/bin/env bash
# make clean and make distclean in a scratch copy of the tree, with a Wine
# prefix of its own: clean removes build/ and out/ and keeps the prefix;
# distclean stops the shared Wine session and removes the prefix and its
# session folder too, found as wine-run finds it
# (XDG_CACHE_HOME, or TAVIMO_WINEPREFIX over it). The machine's own prefix is
# out of reach: HOME, XDG_CACHE_HOME and TAVIMO_WINEPREFIX all point into WORK.
# Usage: clean.sh WORK
set -uo pipefail
work=$(realpath -m "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/readme/lib.sh
source "$here/lib.sh"
unset MAKEFLAGS MFLAGS MAKELEVEL TAVIMO_WINEPREFIX
export HOME=$work/home XDG_CACHE_HOME=$work/cache

failed=0
fail() { echo "FAIL $*"; failed=1; }
expect() {  # expect present|gone PATH WHEN
  if [ "$1" == present ] && [ ! -e "$2" ]; then fail "$3: ${2#"$work"/} is gone"; fi
  if [ "$1" == gone ] && [ -e "$2" ]; then fail "$3: ${2#"$work"/} is still there"; fi
}
run() {  # run WHEN MAKE_ARGS...: make in the copy, which must succeed
  local when=$1
  shift
  make -C "$tree" --no-print-directory "$@" || fail "$when: make $* failed"
}

rm -rf "$work"
tree=$work/tree
copy_tree "$(cd "$here/../.." && pwd)" "$tree" || exit 1
made() { for p in "$@"; do mkdir -p "$p" && touch "$p/file"; done; }

# The prefix under XDG_CACHE_HOME.
prefix=$XDG_CACHE_HOME/tavimo/wineprefix
made "$tree/build/win32" "$tree/out" "$prefix" "$prefix.session"
run "make clean" clean
expect gone "$tree/build" "make clean"
expect gone "$tree/out" "make clean"
expect present "$prefix" "make clean"
expect present "$prefix.session" "make clean"
expect present "$tree/Makefile" "make clean"
made "$tree/build/native"
run "make distclean" distclean
expect gone "$tree/build" "make distclean"
expect gone "$prefix" "make distclean"
expect gone "$prefix.session" "make distclean"
expect present "$tree/Makefile" "make distclean"

# A prefix named by TAVIMO_WINEPREFIX goes; the one under XDG_CACHE_HOME stays.
other=$work/other-prefix
made "$prefix" "$other" "$other.session"
TAVIMO_WINEPREFIX=$other run "make distclean with TAVIMO_WINEPREFIX" distclean
expect gone "$other" "make distclean with TAVIMO_WINEPREFIX"
expect gone "$other.session" "make distclean with TAVIMO_WINEPREFIX"
expect present "$prefix" "make distclean with TAVIMO_WINEPREFIX"

[ "$failed" -eq 0 ] && echo "make clean and make distclean: build/, out/ and the Wine prefix as README.md says"
exit "$failed"
