#!/usr/bin/env bash
# graphdemo --console (the window and the console, as the game starts them)
# under Xvfb: with standard input closed or /dev/null nothing spins; 10,000
# keys typed into the window in one burst while it holds off reading give
# the first 33 in order, the rest lost with the bell, nothing else lost.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
demo=$BUILD/tests/graph/graphdemo
start_xvfb 24

# ---------------------------------------------------------------- standard input no terminal: the window stands, nothing spins
for what in closed /dev/null; do
  redirect="<&-"
  [ "$what" = closed ] || redirect="</dev/null"
  out=$work/notty.$RANDOM
  logs+=("$out.err")
  bash -c "exec \"$demo\" --console $redirect >\"$out.out\" 2>\"$out.err\"" &
  pid=$!
  pids+=("$pid")
  wait_for "graphdemo (stdin $what)" grep -qs '^ready' "$out.out"
  idle "$pid" "graphdemo, stdin $what"
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 143 ] || fail "graphdemo, stdin $what: status $status after SIGTERM"
  clean_log "$out.err" "graphdemo, stdin $what"
done

# ---------------------------------------------------------------- 10,000 keys into the window while graphdemo holds off reading
start_pane burst "\"$demo\" --console --hold \"$work/go\" 2>\"$work/burst.err\""
logs+=("$work/burst.err")
hear_bell
wait_for "the window" pane_has burst "ready 555x600"
# The window of this graphdemo (those of the runs above may linger a moment).
window=$(xdotool search --all --pid "$(pgrep -P "$(cat "$work/burst.pid")" -x graphdemo)" --name '^Graph$' | head -n 1)
[ -n "$window" ] || fail "no window of the burst's graphdemo"
keys=$(burst_keys)
xdotool windowfocus --sync "$window"
xdotool type --delay 0 "$keys"
check_burst burst "$keys"
xdotool windowfocus --sync "$window" key q
given_back burst 0
clean_log "$work/burst.err" "window burst"
echo "ok: window burst: 33 keys read in order, 9,967 lost with the bell"
