#!/usr/bin/env bash
# CPU used by an idle keytest (no key typed) over a while: once with standard
# input a terminal (a tmux pane), once with standard input /dev/null.
# Usage: bash bench/console/idle_cpu.sh [build folder] [seconds]
# Prints, for each, the CPU time from /proc/<pid>/stat (utime + stime, in
# clock ticks) and from the threads' schedstat (nanoseconds), as a share of
# one core.
set -euo pipefail
build=${1:-build}
secs=${2:-10}
keytest=$(realpath "$build/keytest")
hz=$(getconf CLK_TCK)
source "$(dirname "$0")/../../tests/support/lib.sh"
nanos() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }

measure() {  # measure <label> <pid>
  local t0 n0 t1 n1
  t0=$(ticks "$2"); n0=$(nanos "$2")
  sleep "$secs"
  t1=$(ticks "$2"); n1=$(nanos "$2")
  awk -v l="$1" -v t=$((t1 - t0)) -v n=$((n1 - n0)) -v hz="$hz" -v s="$secs" 'BEGIN {
    printf "%-22s %d ticks (%.3f %% of a core); schedstat %.3f ms (%.4f %% of a core) over %d s\n",
           l, t, 100 * t / hz / s, n / 1e6, 100 * n / 1e9 / s, s }'
}

# Standard input a terminal.
tm new-session -d -x 80 -y 24 "$keytest"
pane=$(tm display-message -p '#{pane_pid}')
keytest_ready() { tm capture-pane -p | grep -q 'press keys'; }
wait_for "keytest in the pane" keytest_ready
measure "stdin a terminal:" "$pane"

# Standard input /dev/null.
"$keytest" </dev/null >/dev/null &
pids+=($!)
sleep 1  # past the start-up
measure "stdin /dev/null:" "$!"
