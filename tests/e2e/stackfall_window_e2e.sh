#!/usr/bin/env bash
# End to end: stackfall under Xvfb, played with keys typed into its window
# (no terminal on standard input). Screenshots show the blinking title, the
# instructions, the board with the first piece where the sequence puts it,
# the piece moved, turned and dropped, the score, the next piece and the
# game-over picture; N ends the program with status 0, promptly.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

start_xvfb
"$game" </dev/null >"$work/game.out" 2>"$work/game.err" &
pid=$!
pids+=($pid)

wait_for "the title picture" shows_title
shot title
wait_for "the title word to blink off" title_word_gone
wait_for "the title word to blink on" title_word_back
echo "ok: the title picture blinks"

type_in_window x
wait_for "the instructions" shows_instructions
shot instructions
type_in_window x
wait_for "the board" shows_board
shot board
# The first piece of every run: type 1, white, in columns 11 and 12.
first="shape 0,0 0,1 1,1 1,2"
wait_for "the first piece in columns 11 and 12" piece_in_column 15 11
[[ "$(cells piece 15)" == *"$first" ]] || fail "first piece: $(cells piece 15)"
echo "ok: board and the first piece ($(cells piece 15))"

type_in_window 4
wait_for "the piece one column left" piece_in_column 15 10
type_in_window 5
turned() { shot && [[ "$(cells piece 15)" == "at 10 "*" shape 1,0 2,0 0,1 1,1" ]]; }
wait_for "the piece turned" turned
type_in_window 0
wait_for "the piece on the floor" piece_is 15 "at 10 29 shape 1,0 2,0 0,1 1,1"
wait_for "the score" shows_score
# The second piece of the run: type 2 in colour 12 from column 14.
second() { shot && [[ "$(cells piece 12)" == "at 14 "*" shape 1,0 0,1 1,1 0,2" ]]; }
wait_for "the second piece" second
shot played
echo "ok: moved, turned, dropped; score shown; the second piece falls"

type_in_window q
wait_for "the game-over picture" shows_game_over
shot gameover
echo "ok: game-over picture with the score and the question"

type_in_window N
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for "the program to end" ended
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit status $status"
grep -q "^Sound \(works\|doesn't work\) on this computer" "$work/game.out" || fail "no sound verdict"
! grep -q "Sorry, graphics doesn't work" "$work/game.out" || fail "graphics reported broken"
echo "ok: N ends the program with status 0"
