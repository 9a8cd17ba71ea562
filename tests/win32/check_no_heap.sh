#!/usr/bin/env bash
# Fails when any of the given object files calls the heap: the C allocator,
# operator new or delete in any form, or the Win32 heap, global and local
# allocators. The plug-in runs inside the host's process and allocates nothing.
# Usage: check_no_heap.sh NM OBJECT...
set -uo pipefail
nm=$1
shift
if [ $# -eq 0 ]; then echo "FAIL: no object files given"; exit 1; fi

# Undefined symbols with the i686 leading underscore, __imp_ prefix and
# @N stdcall suffix taken off.
forbidden='^(malloc|calloc|realloc|free|_?strdup|_?aligned_alloc|_aligned_malloc|_aligned_free|_Zn[wa]j.*|_Zd[la]Pv.*|HeapAlloc|HeapReAlloc|HeapFree|HeapCreate|GlobalAlloc|GlobalReAlloc|LocalAlloc|LocalReAlloc)$'
status=0
for obj in "$@"; do
  if [ ! -f "$obj" ]; then echo "FAIL: no object file $obj"; status=1; continue; fi
  while read -r sym; do
    name=${sym#__imp_}
    name=${name#_}
    name=${name%@*}
    if [[ $name =~ $forbidden ]]; then
      echo "FAIL $(basename "$obj"): calls $sym"
      status=1
    fi
  done < <("$nm" -u "$obj" | awk '{print $NF}')
done
[ $status -eq 0 ] && echo "no heap calls in $# object files"
exit $status
