#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/: clang, libFuzzer, ASan + UBSan) and
# runs each for a while, two at a time.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target, 25 by default (the test run's share); TARGETs from
# key_decoder, key_queue, graph, rules (all by default). Each run starts from
# its corpus in build-fuzz/corpus/<target>, the seeds in
# tests/fuzz/seeds/<target> and the kept crashes in
# tests/fuzz/regressions/<target>, which it replays first. A crash is written
# to tests/fuzz/regressions/<target>/ (commit it with the fix: the test run
# replays it from then on) and makes the script fail. Prints, per target, the
# executions per second and the total.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-25}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(key_decoder key_queue graph rules)
[[ $secs =~ ^[0-9]+$ ]] || { echo "usage: fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}

dir=build-fuzz
mkdir -p "$dir"
if ! { cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
         -DSTACKFALL_SANITIZE=fuzzer -DSTACKFALL_BENCH=OFF &&
       cmake --build "$dir" -j"$(nproc)" --target fuzzers; } >"$dir/fuzz-build.log" 2>&1; then
  cat "$dir/fuzz-build.log"
  exit 1
fi
grep -E 'warning:' "$dir/fuzz-build.log" || true

run() {  # run <target>: one fuzzing run, its log in build-fuzz/<target>.log
  local t=$1
  mkdir -p "$dir/corpus/$t" "tests/fuzz/regressions/$t"
  # Inputs as long as the target needs: every byte of a rules input is a
  # step with the playfield checked after it, every few of a graph input a
  # call with the whole buffer compared.
  local len=2048
  case $t in rules) len=512 ;; graph) len=1024 ;; esac
  "$dir/fuzz/${t}_fuzz" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len=$len \
    -print_final_stats=1 -artifact_prefix="tests/fuzz/regressions/$t/" \
    "$dir/corpus/$t" "tests/fuzz/seeds/$t" "tests/fuzz/regressions/$t" >"$dir/$t.log" 2>&1
}

pids=()
names=()
for t in "${targets[@]}"; do
  [ -x "$dir/fuzz/${t}_fuzz" ] || { echo "no fuzz target $t" >&2; exit 2; }
  run "$t" &
  pids+=($!)
  names+=("$t")
  # Two at a time: one per core.
  if [ ${#pids[@]} -ge 2 ]; then wait "${pids[0]}" || true; pids=("${pids[@]:1}"); fi
done
for p in "${pids[@]}"; do wait "$p" || true; done

failed=0
for t in "${names[@]}"; do
  log=$dir/$t.log
  runs=$(awk '/^stat::number_of_executed_units:/ { print $NF }' "$log")
  rate=$(awk '/^stat::average_exec_per_sec:/ { print $NF }' "$log")
  if grep -qE '^==[0-9]+==ERROR|fuzz check failed|^SUMMARY: |Test unit written to' "$log" || [ -z "$runs" ]; then
    echo "FUZZ $t: FAILED after ${runs:-?} runs; the input is in tests/fuzz/regressions/$t/"
    grep -E 'ERROR|fuzz check failed|runtime error|^  |Test unit written' "$log" | head -20 || true
    failed=1
  else
    echo "fuzz $t: $runs runs in $secs s ($rate exec/s), no failure"
  fi
done
exit $failed
