#!/usr/bin/env bash
# End to end: full screen, under Xvfb with a screen of 2000 x 2000. With no
# window manager, --fullscreen opens a window over the whole screen with
# the picture at scale 3 (the largest that fits), centred on black. Going
# full screen from a window is asked of the window manager, so the rest runs
# under evilwm (small, and it does full screen as desktops do): F11 and
# Alt+Enter take a window at scale 2 to full screen and back to its size,
# and never reach the game (the title stays up, where any key of the game's
# would leave it); the next game keeps full screen; a game begun full screen
# goes to a window of its scale's size.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
command -v evilwm >/dev/null || fail "evilwm is missing"

start_xvfb 24 2000x2000

window_up() { window_geometry >/dev/null; }
window_at() { [ "$(window_geometry)" = "$1" ]; }
# full_screen <what>: the window covers the screen, the picture at scale 3
# in its middle, the title up, the margins black.
full_screen() {
  wait_for "$1: the window over the screen" window_at "0 0 2000 2000"
  find_picture
  [ "$picture_scale $picture_x $picture_y" = "3 167 100" ] || fail "$1: scale $picture_scale at ($picture_x, $picture_y)"
  wait_for "$1: the title at scale 3" shows_title
  margins_black || fail "$1: the margins are not black"
  echo "ok: $1: full screen, the picture at scale 3, centred on black"
}
start_game() {
  "$game" "$@" </dev/null >"$work/game.out" 2>"$work/game.err" &
  pid=$!
  pids+=("$pid")
  wait_for "the window" window_up
}
end_game() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  clean_log "$work/game.err" "the game"
  no_window() { ! window_up; }
  wait_for "the window gone" no_window
}

start_game --fullscreen
full_screen "--fullscreen, no window manager"
end_game

evilwm -fn fixed >"$work/evilwm.out" 2>&1 &
pids+=($!)
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for "the window manager" wm_up

start_game --scale 2
windowed=$(window_geometry)
[[ "$windowed" == *" 1110 1200" ]] || fail "--scale 2 under evilwm: $windowed"
find_picture
wait_for "the title at scale 2" shows_title
for keys in F11 alt+Return; do
  type_in_window "$keys"
  full_screen "$keys"
  type_in_window "$keys"
  wait_for "$keys again: the window as it was ($windowed)" window_at "$windowed"
  find_picture
  wait_for "$keys again: the title at scale 2" shows_title
  echo "ok: $keys again: the window back to $windowed, the title still up"
done
# The game's keys still reach it.
type_in_window x
wait_for "the instructions" shows_instructions
type_in_window x
wait_for "the board" shows_board
type_in_window F11
wait_for "full screen in play" window_at "0 0 2000 2000"
find_picture
type_in_window q
wait_for "the game-over picture" shows_game_over
type_in_window n
full_screen "the next game"
end_game

# Begun full screen, F11 gives the window its size at its scale.
start_game --fullscreen --scale 2
full_screen "--fullscreen --scale 2"
type_in_window F11
windowed() { [[ "$(window_geometry)" == *" 1110 1200" ]]; }
wait_for "the window at scale 2 after F11" windowed
find_picture
wait_for "the title at scale 2" shows_title
echo "ok: begun full screen, F11 gives the window of scale 2 ($(window_geometry))"
end_game
