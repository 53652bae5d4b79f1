#!/usr/bin/env bash
# Reads a built Quindle.dll: its machine type, its exports (exactly the four, undecorated) and its
# imports (system DLLs only, never a MinGW runtime DLL).
# usage: check-dll.sh OBJDUMP DLL EXPECTED_FORMAT
set -u
objdump=$1 dll=$2 format=$3
fail() { echo "check-dll: $*" >&2; exit 1; }

headers=$("$objdump" -p "$dll") || fail "cannot read $dll"
grep -q "file format $format" <<<"$headers" || fail "$dll is not $format"

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[ \t]*\[/{print $NF; next} on{on=0}' <<<"$headers" | sort | tr '\n' ' ')
expected="FileFilterExecute FileFilterInitialize FileFilterUninitialize FileFilterUserInterface "
[ "$exports" = "$expected" ] || fail "exports are '$exports', expected '$expected'"

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
while read -r name; do
  grep -qiE "$allowed" <<<"$name" || fail "imports $name, which is not a system DLL"
done < <(awk '/DLL Name:/{print $3}' <<<"$headers")

echo "check-dll: $dll is $format, exports: $exports; imports: $(awk '/DLL Name:/{printf "%s ", $3}' <<<"$headers")"
