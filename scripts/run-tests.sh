#!/usr/bin/env bash
# Builds every preset and runs every test suite, then prints one summary line.
# usage: run-tests.sh [PRESET...]   (default: native native-asan win64 win32)
set -u
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64 win32)

passed=0 failed=0
report=()
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  log=build/$preset.test.log
  mkdir -p build
  if ! cmake --preset "$preset" >"build/$preset.configure.log" 2>&1; then
    tail -n 30 "build/$preset.configure.log"
    report+=("$preset: configure failed")
    failed=$((failed + 1))
    continue
  fi
  if ! cmake --build --preset "$preset"; then
    report+=("$preset: build failed")
    failed=$((failed + 1))
    continue
  fi
  echo "=== $preset: tests"
  ctest --preset "$preset" 2>&1 | tee "$log"
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    report+=("$preset: no test result")
    failed=$((failed + 1))
    continue
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  report+=("$preset: $((total - bad)) passed, $bad failed")
done

echo
printf '%s\n' "${report[@]}"
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
