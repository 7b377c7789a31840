#!/usr/bin/env bash
# End to end: the game played with a pad alone, under Xvfb: padgame (the
# game with SDL's virtual game controller in its process) worked through its
# pipe, no key typed anywhere. The title and the instructions are left with
# pad buttons, the first piece is moved, turned and dropped, Back ends the
# game, Start plays again, and a button at the game over ends the program.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
padgame=$BUILD/tests/e2e/padgame
[ -x "$padgame" ] || fail "no $padgame"

start_xvfb
mkfifo "$work/pad"
"$padgame" "$work/pad" </dev/null >"$work/game.out" 2>"$work/game.err" &
pid=$!
pids+=($pid)
exec 3>"$work/pad"  # held open: the game reads commands until it ends

sent=0
# pad <command...>: sent to the game's pad, and waited for until done.
pad() {
  sent=$((sent + 1))
  echo "$sent $*" >&3
  wait_for "the pad's $*" grep -qx "padgame: $sent done" "$work/game.err"
}

wait_for "the title picture" shows_title
pad plug
# Xvfb's own auto-repeat (XKB's defaults), not the fallback of 500 ms.
grep -qx "padgame: repeat 660 ms then every 40000 us, on" "$work/game.err" ||
  fail "the X server's repeat figures were not read: $(grep repeat "$work/game.err")"
echo "ok: a pad plugged in at the title; the X server's repeat figures taken"

pad tap a
wait_for "the instructions" shows_instructions
pad tap x
wait_for "the board" shows_board
first="shape 0,0 0,1 1,1 1,2"
wait_for "the first piece in columns 11 and 12" piece_in_column 15 11
[[ "$(cells piece 15)" == *"$first" ]] || fail "first piece: $(cells piece 15)"
pad tap dpleft
wait_for "the piece one column left" piece_in_column 15 10
pad tap b
turned() { shot && [[ "$(cells piece 15)" == "at 10 "*" shape 1,0 2,0 0,1 1,1" ]]; }
wait_for "the piece turned" turned
pad tap dpup
wait_for "the piece on the floor" piece_is 15 "at 10 29 shape 1,0 2,0 0,1 1,1"
wait_for "the score" shows_score
shot played
echo "ok: title and instructions left, the piece moved, turned and dropped, with the pad"

pad tap back
wait_for "the game-over picture" shows_game_over
pad tap start
wait_for "the title of the next game" shows_title
echo "ok: Back ends the game, Start plays again"

pad tap a
wait_for "the instructions" shows_instructions
pad tap a
wait_for "the board" shows_board
pad tap back
wait_for "the game-over picture" shows_game_over
echo "$((sent + 1)) press a" >&3  # not waited for: the game ends at the press
wait_for "the program to end" gone "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit status $status"
! grep -q "Gamepad:" "$work/game.err" || fail "the pad was refused: $(grep Gamepad: "$work/game.err")"
echo "ok: another button at the game over ends the program with status 0"
