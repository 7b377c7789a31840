#!/usr/bin/env bash
# End to end: the picture at whole scales, under Xvfb with a screen of
# 2000 x 2000 and no window manager. A game at scale 1 keeps the title, the
# instructions, the board in play and the game-over picture as references;
# the same game at --scale 2 and --scale 3 must show each of them with every
# pixel a k x k block of the reference's pixel. At scale 3 the window is
# then resized to between two scales: the picture shows at scale 2, centred,
# on black. Then the scale the game takes by itself: GDK_SCALE, the X
# resource Xft.dpi, STACKFALL_SCALE, --scale over both, and never more than
# fits the screen.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

start_xvfb 24 2000x2000
window_up() { window_geometry >/dev/null; }
no_window() { ! window_up; }

# matches <reference> [X0 Y0 X1 Y1]: a fresh shot is the reference, pixel
# for pixel (outside the box).
matches() {
  local reference=$1
  shift
  shot && [ "$(cells same "$reference" "$@")" = same ]
}
# again <condition...>: the condition holds for a fresh shot that is the
# one before it once more (nothing was being drawn).
again() {
  cp "$work/shot.ppm" "$work/before.ppm"
  "$@" && cmp -s "$work/shot.ppm" "$work/before.ppm"
}
# The title with its word whole: it blinks, a band over it, then the
# picture again, top to bottom (S of STACK, and a cell of the lowest row).
title_whole() { shows_title && [ "$(cells at 37 142)" = 10 ] && [ "$(cells at 278 263)" != 14 ]; }
instructions_up() { shows_instructions && waits_for_key; }
second_piece() { shot && [[ "$(cells piece 12)" == "at 14 "*" shape 1,0 0,1 1,1 0,2" ]]; }
game_over_up() { shows_game_over && waits_for_key; }

# moment <name> <box or -> <condition...>: at scale 1 the picture, once the
# condition holds (and, but for the board in play, holds still), is kept as
# the reference; at any other scale the picture must come to be that one
# (outside the box: the falling piece and the dots it wipes).
moment() {
  local name=$1 box=$2
  shift 2
  [ "$box" = - ] && box= || true
  if [ "$picture_scale" = 1 ]; then
    wait_for "the $name" "$@"
    [ -n "$box" ] || wait_for "the $name, still" again "$@"
    cp "$work/shot.ppm" "$work/ref-$name.ppm"
  else
    # shellcheck disable=SC2086 # the box is four numbers or nothing
    wait_for "the $name at scale $picture_scale as at scale 1" matches "$work/ref-$name.ppm" $box
  fi
}

# play <scale> [arguments...]: one game, its four pictures at that scale; at
# scale 3 the window is then resized.
play() {
  local scale=$1
  shift
  "$game" "$@" </dev/null >"$work/game$scale.out" 2>"$work/game$scale.err" &
  pid=$!
  pids+=("$pid")
  wait_for "the window" window_up
  find_picture
  [ "$picture_scale $picture_x $picture_y" = "$scale 1 1" ] ||
    fail "scale $scale: the picture at scale $picture_scale at ($picture_x, $picture_y); the window: $(window_geometry)"
  moment title - title_whole
  type_in_window x
  moment instructions - instructions_up
  type_in_window x
  wait_for "the board" shows_board
  type_in_window 4
  wait_for "the piece one column left" piece_in_column 15 10
  type_in_window 5
  type_in_window 0
  wait_for "the piece on the floor" piece_is 15 "at 10 29 shape 1,0 2,0 0,1 1,1"
  moment board "15 15 329 419" second_piece
  type_in_window q
  moment game-over - game_over_up
  echo "ok: scale $scale: title, instructions, board in play and game over$([ "$scale" = 1 ] || echo " as at scale 1")"
  if [ "$scale" = 3 ]; then
    # Between scales 2 and 3: the picture at 2, centred.
    xdotool search --name '^Graph$' windowsize 1500 1700
    resized() { [ "$(window_geometry)" = "1 1 1500 1700" ]; }
    wait_for "the window resized" resized
    find_picture
    [ "$picture_scale $picture_x $picture_y" = "2 196 251" ] || fail "resized: scale $picture_scale at ($picture_x, $picture_y)"
    wait_for "the game over at scale 2 in the resized window" matches "$work/ref-game-over.ppm"
    margins_black || fail "resized to 1500 x 1700: the margins are not black"
    echo "ok: resized to 1500 x 1700, the picture at scale 2, centred, on black"
  fi
  type_in_window N
  wait_for "the end of the game at scale $scale" gone "$pid"
  wait "$pid" || fail "scale $scale: exit status $?"
  clean_log "$work/game$scale.err" "scale $scale"
  wait_for "the window gone" no_window
}

play 1
play 2 --scale 2
play 3 --scale 3

# opens_at <scale> [NAME=value...] [-- arguments]: the game started so shows
# its title at that scale.
opens_at() {
  local scale=$1 settings=() arguments=() asked
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do settings+=("$1") && shift; done
  [ $# -eq 0 ] || { shift && arguments=("$@"); }
  asked="${settings[*]} ${arguments[*]}"
  [ "$asked" != " " ] || asked="nothing asked"
  env "${settings[@]}" "$game" "${arguments[@]}" </dev/null >"$work/opens.out" 2>"$work/opens.err" &
  pid=$!
  pids+=("$pid")
  wait_for "the window ($asked)" window_up
  find_picture
  [ "$picture_scale" = "$scale" ] || fail "$asked: scale $picture_scale, not $scale"
  wait_for "the title at scale $scale" shows_title
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  clean_log "$work/opens.err" "$asked"
  wait_for "the window gone" no_window
  echo "ok: $asked: scale $scale"
}
opens_at 2 GDK_SCALE=2
opens_at 3 GDK_SCALE=4  # 4 would not fit the screen
opens_at 1 GDK_SCALE=1.5
opens_at 2 STACKFALL_SCALE=2 GDK_SCALE=3
opens_at 1 STACKFALL_SCALE=2 -- --scale 1
# The X resources of a desktop at 192 dots per inch: scale 2 with nothing
# asked, and GDK_SCALE still first.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER $'Xft.antialias:\t1\nXft.dpi:\t192\n'
resources_set() { xprop -root RESOURCE_MANAGER | grep -q 'Xft.dpi:.*192'; }
wait_for "the X resources" resources_set
opens_at 2
opens_at 3 GDK_SCALE=3
