#!/usr/bin/env bash
# Builds every preset and runs every test suite, then the fuzz targets for a short fixed time
# (each target counts as one test), and prints one summary line.
# usage: run-tests.sh [PRESET...]   (default: native native-asan win64 win32 fuzz)
# FUZZ_SECONDS sets the time per fuzz target (default 15: about a minute for all of them).
set -u
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64 win32 fuzz)

passed=0 failed=0
report=()
fail() {
  report+=("$1")
  failed=$((failed + 1))
}
tally() {  # tally NAME PASSED FAILED
  passed=$((passed + $2))
  failed=$((failed + $3))
  report+=("$1: $2 passed, $3 failed")
}

run_fuzz() {
  scripts/run-fuzz.sh "${FUZZ_SECONDS:-15}" 2>&1 | tee build/fuzz.test.log
  local line
  line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' build/fuzz.test.log | tail -n 1)
  [ -n "$line" ] || { fail "fuzz: no result"; return; }
  tally fuzz "$(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$line")" \
    "$(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")"
}

run_preset() {
  local preset=$1 log=build/$1.test.log line bad total
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"build/$preset.configure.log" 2>&1; then
    tail -n 30 "build/$preset.configure.log"
    fail "$preset: configure failed"
    return
  fi
  cmake --build --preset "$preset" || { fail "$preset: build failed"; return; }
  echo "=== $preset: tests"
  ctest --preset "$preset" 2>&1 | tee "$log"
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  [ -n "$line" ] || { fail "$preset: no test result"; return; }
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  tally "$preset" $((total - bad)) "$bad"
}

mkdir -p build
for preset in "${presets[@]}"; do
  if [ "$preset" = fuzz ]; then run_fuzz; else run_preset "$preset"; fi
done

echo
printf '%s\n' "${report[@]}"
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
