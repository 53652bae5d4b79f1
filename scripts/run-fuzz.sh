#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset) and runs each for a fixed time from its seed corpus
# in fuzz/corpus/<target>; what a run finds new goes to build/fuzz/corpus/<target>, never into the
# repository. Prints one line per target and a summary line "fuzz: P passed, F failed".
# usage: run-fuzz.sh [SECONDS]   (default 15 per target)
set -u
cd "$(dirname "$0")/.."
seconds=${1:-15}
targets=(word_table_fuzz make_name_fuzz dialog_number_fuzz settings_fuzz)

mkdir -p build
if ! cmake --preset fuzz >build/fuzz.configure.log 2>&1 || ! cmake --build --preset fuzz; then
  tail -n 30 build/fuzz.configure.log
  echo "fuzz: 0 passed, ${#targets[@]} failed"
  exit 1
fi

passed=0 failed=0
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/${target%_fuzz}
  work=build/fuzz/corpus/${target%_fuzz}
  log=build/fuzz/$target.log
  mkdir -p "$work" build/fuzz/findings
  echo "=== fuzz $target for ${seconds}s"
  if build/fuzz/bin/"$target" "$work" "$seeds" -max_total_time="$seconds" -max_len=12000 \
      -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ >"$log" 2>&1; then
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
    echo "fuzz $target: passed, ${runs:-?} runs"
    passed=$((passed + 1))
  else
    tail -n 40 "$log"
    echo "fuzz $target: FAILED; inputs in build/fuzz/findings/, log in $log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
