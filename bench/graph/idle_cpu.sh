#!/usr/bin/env bash
# CPU of an idle open window: graphdemo under its own Xvfb, its user + system
# time read from /proc over 10 seconds once the window stands. Goal: under
# 0.5 % of one core.
#   bash bench/graph/idle_cpu.sh [build folder, default build]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")
source "$here/../../tests/support/lib.sh"
start_xvfb
"$build/tests/graph/graphdemo" >"$work/demo.out" 2>&1 &
demo=$!
pids+=("$demo")
wait_for "graphdemo's window" grep -qs '^ready' "$work/demo.out"
sleep 1  # let the first presents settle
hz=$(getconf CLK_TCK)
t0=$(ticks "$demo")
sleep 10  # the measuring window
t1=$(ticks "$demo")
awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "idle window: %d ticks in 10 s = %.2f %% of a core\n", d, 100 * d / hz / 10 }'
