#!/usr/bin/env bash
# Checks the Japanese readme as a user's Notepad reads it: its bytes decode as
# code page 932, every line ends in CR LF (no bare LF, no stray CR), and it
# names the menu bar's item and the five menu items by the very bytes the
# plug-in shows, taken from a reference-host run's "dump menu" lines.
# Usage: check_readme.sh README RUN_LOG
set -uo pipefail
readme=$1 log=$2
export LC_ALL=C
name=$(basename "$readme")

failed=0
fail() { echo "FAIL $*"; failed=1; }

iconv -f CP932 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "$name does not decode as code page 932"
lines=$(tr -cd '\n' <"$readme" | wc -c)
crs=$(tr -cd '\r' <"$readme" | wc -c)
crlf=$(grep -c $'\r$' "$readme")
[ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] && [ "$crs" -eq "$lines" ] ||
  fail "$name: $lines lines, $crlf end in CR LF, $crs CRs: expected CR LF line ends only"
[ "$(tail -c 1 "$readme" | od -An -tx1 | tr -d ' ')" == "0a" ] || fail "$name: the last line has no line end"

texts=$(sed -n 's/^  menu \(bar\|item\) [0-9]*: \(command [^ ]* \)\?text \([0-9A-F]*\) checked [01]$/\3/p' "$log")
count=$(wc -w <<<"$texts")
[ "$count" -eq 6 ] || fail "$log: expected the menu bar's item and five menu items, got $count texts"
for hex in $texts; do
  bytes=$(printf "$(sed 's/../\\x&/g' <<<"$hex")")
  grep -qF -e "$bytes" "$readme" ||
    fail "$name does not name the menu text $hex ($(iconv -f CP932 -t UTF-8 <<<"$bytes" 2>/dev/null))"
done
[ "$failed" -eq 0 ] && echo "$name: code page 932, CR LF, $count menu texts named"
exit "$failed"
