#!/usr/bin/env bash
# Reads a built Quindle.so: it defines exactly the four exports and nothing else.
# usage: check-so.sh MODULE
set -u
module=$1
symbols=$(nm -D --defined-only "$module" | awk '{print $NF}' | sort | tr '\n' ' ')
expected="FileFilterExecute FileFilterInitialize FileFilterUninitialize FileFilterUserInterface "
if [ "$symbols" != "$expected" ]; then
  echo "check-so: $module defines '$symbols', expected '$expected'" >&2
  exit 1
fi
echo "check-so: $module defines exactly: $symbols"
