#!/usr/bin/env bash
# The game restarted again and again (q, then n, from its terminal) while
# another X client sends Shift presses into each of the game's windows as
# fast as it can: windows come and go under the flood, and the game must go
# on, with no X error, and end with N, status 0, the terminal given back.
#   restart_faults.sh [seconds]   restarts for that long at least (a soak,
#                                 by hand); 4 restarts when not given
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
seconds=${1:-0}
least=4

start_xvfb
start_pane play "\"$game\" 2>\"$work/play.err\""
logs+=("$work/play.err")
find_game() { game_pid=$(pgrep -P "$(cat "$work/play.pid")" -x stackfall); }
wait_for "the game" find_game

# Each burst that reached a window leaves a line in $work/flood.
flood() {
  while :; do
    local windows
    windows=$(xdotool search --name '^Graph$' 2>/dev/null) || { sleep 0.01; continue; }
    for w in $windows; do
      if xdotool key --window "$w" --delay 0 --repeat 20 Shift_L 2>/dev/null; then echo >>"$work/flood"; fi
    done
  done
}
flood &
pids+=($!)

# A condition that fails at once when the game has ended by itself.
playing() {
  gone "$game_pid" && fail "the game ended by itself after $restarts restarts"
  "$@"
}
restarts=0
end=$((SECONDS + seconds))
for (( ; ; )); do
  wait_for "the title" playing shows_title
  tm send-keys -t play x
  wait_for "the instructions" playing shows_instructions
  tm send-keys -t play x
  wait_for "the board" playing shows_board
  tm send-keys -t play q
  wait_for "the game-over picture" playing shows_game_over
  [ $restarts -lt $least ] || [ $SECONDS -lt $end ] || break
  tm send-keys -t play n
  restarts=$((restarts + 1))
done
tm send-keys -t play N
given_back play 0
[ -s "$work/flood" ] || fail "no Shift press reached a window of the game"
echo "ok: $(wc -l <"$work/flood") bursts of 20 Shift presses reached the game's windows"
clean_log "$work/play.err" "restarts"
# The game survives an X error; none should come, though (a wake-up that
# meets a destroyed window was one).
! grep -q 'X error' "$work/play.err" || fail "X errors while restarting: $(cat "$work/play.err")"
echo "ok: $restarts restarts in ${SECONDS} s under a flood of keys from another client; N ends the game, status 0"
