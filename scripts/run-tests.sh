#!/usr/bin/env bash
# Installs what the suites need, builds every preset and runs every test suite, then the fuzz
# targets for a short fixed time (each target counts as one test). Ends with the counts of each
# suite, every skipped test or suite on a line of its own with its reason, and one summary line:
#   summary: N passed, N failed, N skipped
# A suite whose packages Debian's mirror could not supply is skipped; one that cannot run for any
# other reason fails.
# usage: run-tests.sh [PRESET...]   (default: native native-asan win64 win32 fuzz)
# FUZZ_SECONDS sets the time per fuzz target (default 15: about a minute for all of them).
set -u
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64 win32 fuzz)

# What each suite needs of scripts/install-deps.sh's parts.
declare -A needs=(
  [native]="build checks"
  [native-asan]="build"
  [win64]="build mingw wine64"
  [win32]="build mingw wine32"
  [fuzz]="build fuzz"
)

passed=0 failed=0 skipped=0
report=()
skips=()
fail() {
  report+=("$1")
  failed=$((failed + 1))
}
tally() {  # tally NAME PASSED FAILED SKIPPED
  passed=$((passed + $2))
  failed=$((failed + $3))
  skipped=$((skipped + $4))
  report+=("$1: $2 passed, $3 failed, $4 skipped")
}

# The suite cannot run when a part it needs is missing: skipped when the mirror could not supply
# it, failed otherwise. Prints nothing and succeeds when every part is there.
missing_part() {  # missing_part SUITE
  local part kind reason
  for part in ${needs[$1]:-build}; do
    while IFS=$'\t' read -r name kind reason; do
      [ "$name" = "$part" ] || continue
      if [ "$kind" = skip ]; then
        skips+=("$1: skipped: $reason")
        skipped=$((skipped + 1))
      else
        fail "$1: failed: $reason"
      fi
      return 0
    done <build/install-deps.status
  done
  return 1
}

run_fuzz() {
  scripts/run-fuzz.sh "${FUZZ_SECONDS:-15}" 2>&1 | tee build/fuzz.test.log
  local line
  line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' build/fuzz.test.log | tail -n 1)
  [ -n "$line" ] || { fail "fuzz: no result"; return; }
  tally fuzz "$(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$line")" \
    "$(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")" 0
}

run_preset() {
  local preset=$1 log=build/$1.test.log junit=$PWD/build/$1.junit.xml counts
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"build/$preset.configure.log" 2>&1; then
    tail -n 30 "build/$preset.configure.log"
    fail "$preset: configure failed"
    return
  fi
  cmake --build --preset "$preset" || { fail "$preset: build failed"; return; }
  echo "=== $preset: tests"
  rm -f "$junit"
  ctest --preset "$preset" --output-junit "$junit" 2>&1 | tee "$log"
  # Passed, failed and skipped as CTest's own record of each test has them; then one line per skip.
  counts=$(python3 scripts/ctest-results.py "$junit" "$preset") || { fail "$preset: no test result"; return; }
  read -r p f s <<<"$(head -n 1 <<<"$counts")"
  tally "$preset" "$p" "$f" "$s"
  while IFS= read -r line; do skips+=("$line"); done < <(tail -n +2 <<<"$counts")
}

mkdir -p build
scripts/install-deps.sh test
[ -f build/install-deps.status ] || : >build/install-deps.status
for preset in "${presets[@]}"; do
  if missing_part "$preset"; then continue; fi
  if [ "$preset" = fuzz ]; then run_fuzz; else run_preset "$preset"; fi
done

echo
printf '%s\n' "${report[@]}"
[ ${#skips[@]} -eq 0 ] || printf '%s\n' "${skips[@]}"
echo "summary: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
