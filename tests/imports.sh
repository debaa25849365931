#!/bin/bash
# The executable's imports from the system's DLLs against the functions that
# Windows 95 and NT 4.0 both export (tests/win95-nt4.txt): one outside the list
# fails with its name.   imports.sh EXE LIST
set -u
system='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32)\.DLL$'
imports=$(i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {dll = toupper($3); next}
    dll && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print dll, $3} /^$/ {dll = ""}' |
    awk -v s="$system" '$1 ~ s')
[ -n "$imports" ] || { echo "no imports read from $1"; exit 1; }
missing=$(grep -vxFf <(awk '!/^#/ {for (i = 2; i <= NF; i++) print $1, $i}' "$2") <<<"$imports")
echo "$(wc -l <<<"$imports") imports from the system's DLLs"
[ -z "$missing" ] && exit 0
echo "not exported by both Windows 95 and NT 4.0:"
echo "$missing"
exit 1
