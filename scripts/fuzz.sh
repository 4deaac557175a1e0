#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for SECONDS seconds each (default 60),
# starting from the seed corpus in tests/fuzz/corpus/<target>. New inputs go to a
# scratch folder, so the committed corpus only changes by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" | sed 's/^fuzz_//')
  work=build/fuzz/corpus-work/$name
  mkdir -p "$work"
  echo "fuzzing $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 "$work" "tests/fuzz/corpus/$name" \
      > "build/fuzz/$name.log" 2>&1; then
    tail -40 "build/fuzz/$name.log"
    exit 1
  fi
  grep -E '^Done|#[0-9]+ *DONE' "build/fuzz/$name.log" | tail -1 || true
done
