#!/usr/bin/env bash
# Every test that starts a thread in a program of ours carries the label
# "threaded", so that the ThreadSanitizer build runs it: the tests without
# that label run once more with ThreadSpy preloaded, which notes every
# program that starts a thread; none of them may be one of this build's.
#   threaded_labels.sh <ThreadSpy library>
set -euo pipefail
spy=${1:?usage: threaded_labels.sh SPY_LIBRARY}
: "${BUILD:?BUILD must name the build folder}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
LD_PRELOAD=$spy THREAD_SPY_FILE=$work/threads \
  ctest --test-dir "$BUILD" -LE threaded -E '^threaded_labels$' >"$work/ctest.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/ctest.log"; echo "FAIL: the tests without the label failed under the spy"; exit 1; }
grep -q 'tests passed' "$work/ctest.log" || { cat "$work/ctest.log"; exit 1; }
ours=$(grep -F "$(realpath "$BUILD")/" "$work/threads" 2>/dev/null | sort -u || true)
if [ -n "$ours" ]; then
  echo "FAIL: tests without the label 'threaded' start threads in:"
  echo "$ours"
  exit 1
fi
echo "ok: no test without the label 'threaded' starts a thread in a program of this build"
