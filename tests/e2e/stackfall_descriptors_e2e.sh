#!/usr/bin/env bash
# End to end: stackfall started with standard descriptors closed (>&-, 2>&-,
# <&-, all three), its window under Xvfb, one tmux pane a run. Two games
# each, n between them, N at the end: the console's lines must not reach the
# X connection (which would take a closed descriptor 1), so each run ends
# with status 0 and the terminal as it was. Keys come from the terminal, or
# from the window where standard input is closed.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

start_xvfb
game_of() { pgrep -P "$(cat "$work/$1.pid")" -x stackfall >/dev/null; }
play() {  # play <pane> <terminal|window>
  local pane=$1 via=$2 game
  key() { if [ "$via" = window ]; then type_in_window "$@"; else tm send-keys -t "$pane" "$@"; fi; }
  wait_for "$pane: the game" game_of "$pane"
  pid=$(pgrep -P "$(cat "$work/$pane.pid")" -x stackfall)
  pids+=("$pid")
  for game in 1 2; do
    wait_for "$pane: title $game" shows_title
    key x
    wait_for "$pane: instructions $game" shows_instructions
    wait_for "$pane: the key wait of instructions $game" waits_for_key
    key x
    wait_for "$pane: board $game" shows_board
    key q
    wait_for "$pane: game over $game" shows_game_over
    wait_for "$pane: the key wait of game over $game" waits_for_key
    if [ $game = 1 ]; then key n; else key N; fi
  done
}

runs=("out:>&-:terminal" "err:2>&-:terminal" "in:<&-:window" "all:<&- >&- 2>&-:window")
for run in "${runs[@]}"; do
  IFS=: read -r name closed via <<<"$run"
  start_pane "$name" "\"$game\" $closed"
  play "$name" "$via"
  given_back "$name" 0
done
