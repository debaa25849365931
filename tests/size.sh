#!/bin/bash
# The shipped executable is the size of its work: at most 168 KB with all its
# resources, and next to no unwind tables (the exception runtime left out).
#   size.sh EXE
set -u
size=$(stat -c %s "$1") eh=0
while read -r name hex; do
    [[ $name == .eh_fram* ]] && eh=$((16#$hex))
done < <(i686-w64-mingw32-objdump -h "$1" | awk 'NF >= 7 && $1 ~ /^[0-9]+$/ {print $2, $3}')
echo "$(basename "$1"): $size bytes, .eh_frame $eh bytes"
[ "$size" -le 172032 ] && [ "$eh" -le 8192 ] && exit 0
echo "at most 172,032 bytes in all and 8,192 of .eh_frame"
exit 1
