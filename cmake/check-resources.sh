#!/usr/bin/env bash
# Reads the resources back out of a built Quindle.dll and compares them, field by field, with the
# dialog template and version information the DLL must carry.
# usage: check-resources.sh WINDRES DLL EXPECTED_RC
set -u
windres=$1 dll=$2 expected=$3
actual=$("$windres" -i "$dll" -O rc 2>/dev/null | grep -v -E '^\s*$|^/\*|^\s+Name:') ||
  { echo "check-resources: cannot read the resources of $dll" >&2; exit 1; }
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
  echo "check-resources: the resources of $dll differ from $expected" >&2
  exit 1
fi
echo "check-resources: $dll carries the expected dialog 101 and version resource"
