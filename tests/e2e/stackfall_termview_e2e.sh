#!/usr/bin/env bash
# End to end: stackfall shown in its terminal (a tmux pane on a private
# server) and played there. Every square of each screen, decoded from
# capture-pane -e, is held against the back buffer of the same game played
# in virtual time (termframes); the texts are read as text. Runs, one pane:
#  1. no display, 80 x 46, 24-bit colour, UTF-8: the title and its blink,
#     the instructions, the board with the first piece, a move, a drop and
#     the score, the game-over picture and question; N ends it with status
#     0, the terminal given back (stty -g, main screen, cursor) and the
#     console lines on the main screen as without the view;
#  2. the 256-colour palette: the title; Ctrl+C gives the terminal back;
#  3. the C locale (no compact layout, tests/e2e/stackfall_compact_e2e.sh),
#     a pane too small (70 x 35): the sorry line, the size line, blind
#     play; enlarged in play, the view comes up; shrunk, the request to
#     enlarge; enlarged again, the whole view; SIGHUP gives the terminal back;
#  4. STACKFALL_VIEW=none and 5. =window, no display: no view, the sorry
#     line; 6. =terminal with a display: the view, and no window.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/termlib.sh"

start_xvfb  # for run 6; the others leave DISPLAY out
start_runs 80 46 "1 \$plain COLORTERM=truecolor \"$game\"
2 \$plain \"$game\"
3 \$plain COLORTERM=truecolor LANG=C \"$game\"
4 \$plain STACKFALL_VIEW=none \"$game\"
5 \$plain STACKFALL_VIEW=window \"$game\"
6 env STACKFALL_VIEW=terminal COLORTERM=truecolor LANG=C.UTF-8 \"$game\""
game_pid() { pgrep -P "$pane_pid" -x stackfall; }

frames
base=$made

# ---------------------------------------------------------------- run 1: a whole game, 24-bit colour
touch "$work/go1"
wait_for "the title picture" matches "$base" title-picture
[ "$(flags)" = "1 0" ] || fail "run 1: the view is not on the alternate screen with the cursor hidden ($(flags))"
wait_for "the title word to blink off" matches "$base" title-band
wait_for "the title word to blink on" matches "$base" title-picture
echo "ok: the title picture, square by square, and its blink"

send x
instructions() {
  matches "$base" instructions && row_is 2 "    Instructies" &&
    row_is 17 "     Druk op q om het programma te beëindigen" && row_is 20 "    Druk op een toets om te beginnen..."
}
wait_for "the instructions" instructions
[ "$(cells colours 2 4)" = "14 0" ] && [ "$(cells colours 7 7)" = "9 0" ] && [ "$(cells colours 17 5)" = "13 0" ] ||
  fail "instructions: colours $(cells colours 2 4), $(cells colours 7 7), $(cells colours 17 5)"
echo "ok: the instructions, square by square, their texts in their colours, the ë as ë"

send x
first_piece() {
  matches "$base" play && [[ "$(cells piece 15)" == "at 11 "* ]] &&
    row_is 33 "   Stack Fall - een spel met vallende blokjes in veertien vormen"
}
wait_for "the board with the first piece" first_piece
[ "$(cells colours 33 3)" = "3 0" ] || fail "credit line colours $(cells colours 33 3)"
echo "ok: the board with the first piece ($(cells piece 15)) and the credits"

move_left

send 0
score_row=$(printf '%52sScore:  0' '')
dropped() { cap && [ "$(cells piece 15)" = "at 10 28" ] && row_is 3 "$score_row"; }
wait_for "the piece on the floor and the score" dropped
[ "$(cells colours 3 52)" = "3 0" ] || fail "score colours $(cells colours 3 52)"
frames "4@$falls" "0@$falls"
dropped_frames=$made
wait_for "the dropped piece, square by square" matches "$dropped_frames" play
echo "ok: dropped to the floor; the score shown"

send q
game_over() {
  matches "$dropped_frames" game-over && row_is 30 "   Uw score was:       0" &&
    row_is 33 "   Druk op een n voor nieuw spel."
}
wait_for "the game-over picture and question" game_over
[ "$(cells colours 30 3)" = "12 0" ] && [ "$(cells colours 33 3)" = "15 0" ] ||
  fail "game-over colours $(cells colours 30 3), $(cells colours 33 3)"
echo "ok: the game-over picture, the score and the question"

send N
ended 1 0

# ---------------------------------------------------------------- run 2: the 256-colour palette
touch "$work/go2"
wait_for "the title in 256 colours" matches "$base" title-picture
grep -q $'\e\\[48;5;' "$work/cap" && ! grep -q $'\e\\[48;2;' "$work/cap" || fail "run 2: not in 256 colours"
echo "ok: the title square by square in the 256-colour palette"
send C-c
ended 2 130
# Run 1's lines, now that the next marker closes them, as without the view:
# the sound verdict, two empty lines before the game and the one after it.
[ "$(run_lines 1 | sed -n '/^|Sound .* on this computer/,$p' | tail -n +2)" = "$(printf '|\n|\n|')" ] ||
  fail "run 1: the console lines on the main screen: $(run_lines 1)"
echo "ok: the console lines of run 1 are on the main screen"

# ---------------------------------------------------------------- run 3: too small, then enlarged, shrunk and enlarged in play
tm resize-window -x 70 -y 35
touch "$work/go3"
wait_for "the sorry line" run_has 3 "Sorry, graphics doesn't work"
run_has 3 "The terminal is 70 x 35; graphics need 74 x 40" ||
  fail "run 3: no size line: $(run_lines 3)"
[ "$(flags)" = "0 1" ] || fail "run 3: a view came up in a pane too small"
send x x
in_play() { matches "$base" play && [[ "$(cells piece 15)" == "at 11 "* ]]; }
tm resize-window -x 80 -y 46
wait_for "the view once enlarged" in_play
[ "$(flags)" = "1 0" ] || fail "run 3: the view came up off the alternate screen"
echo "ok: too small: the sorry and size lines, blind play; enlarged, the view"
tm resize-window -x 60 -y 30
request() { cap && row_is 0 "Enlarge the terminal to at least 74 x 40 (it is 60 x 30)"; }
wait_for "the request to enlarge" request
tm resize-window -x 80 -y 46
wait_for "the whole view again" in_play
echo "ok: shrunk, the request to enlarge; enlarged, the whole view again"
kill -HUP "$(game_pid)"
ended 3 129

# ---------------------------------------------------------------- runs 4 to 6: STACKFALL_VIEW
for run in 4 5; do
  touch "$work/go$run"
  wait_for "the sorry line of run $run" run_has "$run" "Sorry, graphics doesn't work"
  [ "$(flags)" = "0 1" ] || fail "run $run: a view came up"
  ! run_lines "$run" | grep -q "The terminal is" || fail "run $run: a size line"
  send C-c
  ended "$run" 130
done
echo "ok: STACKFALL_VIEW=none and =window with no display: no view"
touch "$work/go6"
wait_for "the title in the terminal with a display" matches "$base" title-picture
! xdotool search --name "^Graph$" >/dev/null 2>&1 || fail "run 6: a window opened"
send C-c
ended 6 130
echo "ok: STACKFALL_VIEW=terminal with a display: the view, no window"
