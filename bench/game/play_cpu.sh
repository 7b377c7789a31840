#!/usr/bin/env bash
# CPU of the running game in play with no key pressed, all threads, over a
# while (default 20 s), with its window open under a fresh Xvfb; then its
# peak resident memory (VmHWM). Goals: under 0.05 % of one core; under 30 MB.
# Where perf is installed (apt-get install linux-perf), its task clock of the
# same process over the same while as well. With PLAY_PAD=1 the game is
# padgame (the test build's game with SDL's virtual game controller in its
# process), with a pad plugged in at the title and left alone.
#   bash bench/game/play_cpu.sh [build folder, default build] [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")
secs=${2:-20}
if [ -z "${DISPLAY_FOR_PLAY:-}" ]; then
  DISPLAY_FOR_PLAY=1 exec bash "$here/../graph/xvfb_run.sh" bash "$0" "$build" "$secs"
fi
source "$here/../../tests/support/lib.sh"
pixel() {  # pixel X Y: the window's pixel as the screen shows it
  /usr/bin/import -window root -crop "1x1+$(($1 + 1))+$(($2 + 1))" -depth 8 txt:- 2>/dev/null | tail -n1 | grep -o '#[0-9A-F]\{6\}'
}
key() { xdotool search --name '^Graph$' windowfocus --sync key "$@" >/dev/null 2>&1 || true; }

is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
if [ "${PLAY_PAD:-}" = 1 ]; then
  mkfifo "$work/pad"
  "$build/tests/e2e/padgame" "$work/pad" </dev/null >"$work/out" 2>&1 &
  game=$!
  pids+=("$game")
  exec 3>"$work/pad"
  wait_for "the title" is 67 37 "#800080"
  echo "1 plug" >&3
  wait_for "the pad" grep -qx "padgame: 1 done" "$work/out"
  echo "with a virtual pad plugged in"
else
  "$build/stackfall" </dev/null >"$work/out" 2>&1 &
  game=$!
  pids+=("$game")
  wait_for "the title" is 67 37 "#800080"
fi
key x
wait_for "the instructions" is 67 37 "#000000"
key x
wait_for "the board" is 8 8 "#FF0000"
sleep 1  # the first presents of the board settle

hz=$(getconf CLK_TCK)
nanos() { cat /proc/"$game"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }
per_thread() { for task in /proc/"$game"/task/*; do echo "$(basename "$task") $(cat "$task/comm") $(awk '{ print $1 }' "$task/schedstat")"; done; }
per_thread >"$work/threads0"
perf=
if command -v perf >/dev/null && perf stat -e task-clock -x, -o "$work/probe" true 2>/dev/null; then
  perf stat -e task-clock -x, -o "$work/perf" -p "$game" -- sleep "$secs" &
  perf=$!
  pids+=("$perf")
fi
t0=$(ticks "$game"); n0=$(nanos)
sleep "$secs"
t1=$(ticks "$game"); n1=$(nanos)
task_ms=?
if [ -n "$perf" ]; then
  wait "$perf" || true
  task_ms=$(awk -F, '$3 == "task-clock" { print $1 }' "$work/perf")
  awk -v ms="$task_ms" -v s="$secs" 'BEGIN { printf "perf stat task clock, all threads: %.1f ms = %.3f %% of a core\n", ms, ms / 10 / s }'
fi
per_thread >"$work/threads1"
threads=$(ls /proc/"$game"/task | wc -l)
awk -v t=$((t1 - t0)) -v n=$((n1 - n0)) -v hz="$hz" -v s="$secs" -v th="$threads" 'BEGIN {
  printf "in play, no key, %d threads: %d ticks in %d s = %.2f %% of a core; schedstat %.1f ms = %.3f %% of a core\n",
         th, t, s, 100 * t / hz / s, n / 1e6, 100 * n / 1e9 / s }'
join "$work/threads0" "$work/threads1" | awk '{ printf "  thread %-7s %-16s %8.1f ms\n", $1, $2, ($5 - $3) / 1e6 }' 
grep -E 'VmHWM|VmRSS' "/proc/$game/status" | sed 's/^/  /'
# The same measure of a process that only sleeps 10 ms at a time: the floor
# any loop with the game's tick stands on, on this machine.
"$build/bench/game/tick_floor" &
floor=$!
sleep 1
f0=$(awk '{ print $1 }' "/proc/$floor/schedstat")
sleep "$secs"
f1=$(awk '{ print $1 }' "/proc/$floor/schedstat")
kill "$floor"; wait "$floor" 2>/dev/null || true
awk -v n=$((f1 - f0)) -v s="$secs" 'BEGIN {
  printf "a bare 10 ms tick (tick_floor): schedstat %.1f ms = %.3f %% of a core\n", n / 1e6, 100 * n / 1e9 / s
  printf "a bare 10 ms tick, for comparison (schedstat)|none|%.3f %%|n/a\n", 100 * n / 1e9 / s }'

# Rows for bench/report.sh: figure|goal|median|met.
awk -v t=$((t1 - t0)) -v n=$((n1 - n0)) -v hz="$hz" -v s="$secs" -v kb="$(awk '/VmHWM/ { print $2 }' "/proc/$game/status")" 'BEGIN {
  ticks = 100 * t / hz / s; sched = 100 * n / 1e9 / s; mb = kb / 1024
  printf "CPU in play, no key, all threads (/proc ticks)|< 0.05 %%|%.2f %%|%s\n", ticks, ticks < 0.05 ? "yes" : "no"
  printf "CPU in play, no key, all threads (schedstat)|< 0.05 %%|%.3f %%|%s\n", sched, sched < 0.05 ? "yes" : "no"
  printf "peak resident memory in play (VmHWM)|< 30 MB|%.1f MB|%s\n", mb, mb < 30 ? "yes" : "no" }'
if [ "$task_ms" != "?" ]; then
  awk -v ms="$task_ms" -v s="$secs" 'BEGIN { p = ms / 10 / s
    printf "CPU in play, no key, all threads (perf task clock)|< 0.05 %%|%.3f %%|%s\n", p, p < 0.05 ? "yes" : "no" }'
fi
