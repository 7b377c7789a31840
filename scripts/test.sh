#!/usr/bin/env bash
# Builds and runs every test: the normal build (all tests, end-to-end runs
# included), AddressSanitizer + UndefinedBehaviorSanitizer (all tests),
# ThreadSanitizer (the tests that start threads), then each fuzz target for a
# short while (scripts/fuzz.sh; FUZZ_SECONDS, 25 by default), then the
# browser build played in headless Chromium (scripts/web_test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

build() {  # build <dir> <cmake options...>
  local dir=$1; shift
  echo "=== build $dir"
  # File by file (a build/ that run.sh made compiles whole libraries at once):
  # the tests' own helpers may share names across files.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=OFF "$@" >/dev/null
  if ! cmake --build "$dir" -j"$jobs" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"; exit 1
  fi
  grep -E 'warning:' "$dir/build.log" || true
}

# Tests and benchmarks on by name: scripts/run.sh may have made build/
# without them.
build build -DSTACKFALL_TESTS=ON -DSTACKFALL_BENCH=ON
build build-asan -DSTACKFALL_SANITIZE=address -DSTACKFALL_TESTS=ON -DSTACKFALL_BENCH=OFF
build build-tsan -DSTACKFALL_SANITIZE=thread -DSTACKFALL_TESTS=ON -DSTACKFALL_BENCH=OFF

echo "=== tests: normal build"
ctest --test-dir build --output-on-failure -j"$jobs"
# The end-to-end scripts poll with a deadline (WAIT_SECONDS, 60 by default);
# under the sanitizers every step runs several times slower (ThreadSanitizer:
# a run of four games 15 s normally, 80-90 s alone, more beside another).
echo "=== tests: AddressSanitizer + UndefinedBehaviorSanitizer"
WAIT_SECONDS=120 ctest --test-dir build-asan --output-on-failure -j"$jobs"
echo "=== tests: ThreadSanitizer (threaded suites)"
WAIT_SECONDS=240 ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L threaded
echo "=== fuzzing: ${FUZZ_SECONDS:-25} s per target"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-25}"
echo "=== the browser build in headless Chromium"
bash scripts/web_test.sh
