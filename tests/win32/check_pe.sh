#!/usr/bin/env bash
# Reads the plug-in's PE headers the way a loader sees them and checks what the
# host and a user's machine rely on: a 32-bit x86 DLL, the module name in the
# export directory, exactly the four entry-point names, and imports from system
# DLLs only (the runtime is linked in statically).
# Usage: check_pe.sh OBJDUMP DLL
set -uo pipefail
objdump=$1
dll=$2

passed=0
failed=0
check() {  # check NAME EXPECTED GOT
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3"
  fi
}

if ! dump=$("$objdump" -p "$dll" 2>&1); then
  printf 'FAIL %s -p %s\n%s\n0 passed, 1 failed\n' "$objdump" "$dll" "$dump"
  exit 1
fi

check "file format" "pei-i386" "$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$dump" | head -1)"
check "optional header magic" "010b (PE32)" "$(sed -n 's/^Magic[[:space:]]*//p' <<<"$dump" | head -1 | tr "\t" " ")"
check "DLL characteristic" "DLL" "$(grep -o -m1 '^[[:space:]]*DLL$' <<<"$dump" | tr -d '[:space:]')"
check "module name in the export directory" "quorvex.auf" \
  "$(sed -n 's/^Name[[:space:]]*[0-9a-fA-F]* \(.*\)$/\1/p' <<<"$dump" | head -1)"

# The name table lists every exported name once, sorted. Each row ends with the
# name (binutils 2.44 also prints the ordinal and hint before it).
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/^[[:space:]]*\[ *[0-9]+\]/ { print $NF }' |
  sort | paste -sd' ')
check "exported names" "GetFilterTable GetFilterTable@0 GetFilterTableYUY2 GetFilterTableYUY2@0" "$exports"

# Each decorated name is an alias: same address as its plain name.
declare -A rva=()
while read -r ordinal address; do rva[$ordinal]=$address; done < <(
  sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] +base\[ *[0-9]*\] *\([0-9a-fA-F]*\) Export RVA$/\1 \2/p' <<<"$dump" | sort -u)
check "GetFilterTable@0 is an alias" "${rva[0]:-none}" "${rva[1]:-none}"
check "GetFilterTableYUY2@0 is an alias" "${rva[2]:-none}" "${rva[3]:-none}"

allowed="GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL"
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr '[:lower:]' '[:upper:]' | sort -u | paste -sd' ')
unexpected=""
for name in $imports; do
  case " $allowed " in *" $name "*) ;; *) unexpected="$unexpected $name" ;; esac
done
check "imports only from $allowed (got: $imports)" "" "${unexpected# }"
check "imports KERNEL32" "yes" "$(grep -qw KERNEL32.DLL <<<"$imports" && echo yes || echo no)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
