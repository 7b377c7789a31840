#!/usr/bin/env bash
# CPU of an idle open window: graphdemo under Xvfb, its user + system time
# read from /proc over 10 seconds once the window stands. Goal: under 0.5 %
# of one core.
#   bash bench/graph/idle_cpu.sh [build folder, default build]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
if [ -z "${DISPLAY_FOR_IDLE:-}" ]; then
  DISPLAY_FOR_IDLE=1 exec bash "$here/xvfb_run.sh" bash "$0" "$build"
fi
work=$(mktemp -d)
demo=
cleanup() {
  if [ -n "$demo" ]; then kill "$demo" 2>/dev/null || true; wait "$demo" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
"$build/tests/graph/graphdemo" >"$work/out" 2>&1 &
demo=$!
end=$((SECONDS + 30))
until grep -qs '^ready' "$work/out"; do
  [ $SECONDS -lt $end ] || { echo "graphdemo did not start" >&2; cat "$work/out" >&2; exit 1; }
  sleep 0.1
done
sleep 1  # let the first presents settle
ticks() { awk '{print $14 + $15}' "/proc/$demo/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
sleep 10
t1=$(ticks)
awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "idle window: %d ticks in 10 s = %.2f %% of a core\n", d, 100 * d / hz / 10 }'
