#!/usr/bin/env bash
# End to end: stackfall in an 80 x 24 terminal (a tmux pane, no display,
# UTF-8), shown in the compact layout, two squares a character cell. Every
# square of each screen is held against the back buffer of the same game
# played in virtual time (termframes), as for the full layout; the texts are
# read as text. Runs, one pane:
#  1. 24-bit colour and 2. the 256-colour palette: the title and its blink,
#     the instructions (every line, in order, none overwritten), the board
#     with the first piece, a move, a drop and the score, the game over and
#     its question; N ends it with status 0 and the terminal given back;
#  3. in play the pane resized to 74 x 40 (the full layout), 60 x 15 (the
#     request to enlarge) and 80 x 24 again (compact, nothing left of the
#     others); Ctrl+C gives the terminal back;
#  4. 36 x 19, too small even for the compact layout: the sorry line with
#     both sizes, blind play.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cells_layout=compact
. "$(dirname "$0")/termlib.sh"

start_runs 80 24 "1 \$plain COLORTERM=truecolor \"$game\"
2 \$plain \"$game\"
3 \$plain \"$game\"
4 \$plain \"$game\""
frames
base=$made

# ---------------------------------------------------------------- runs 1 and 2: a whole game, 24-bit and 256 colours
whole_game() {  # whole_game <run> <the SGR prefix its colours go out as>
touch "$work/go$1"
wait_for "the title picture" matches "$base" title-picture
[ "$(flags)" = "1 0" ] || fail "run $1: the view is not on the alternate screen with the cursor hidden ($(flags))"
grep -q '▀' "$work/cap" || fail "run $1: no half blocks"
grep -q $'\e\\['"$2" "$work/cap" || fail "run $1: not in its colours"
wait_for "the title word to blink off" matches "$base" title-band
wait_for "the title word to blink on" matches "$base" title-picture
echo "ok: the title picture in half blocks, square by square, and its blink"

send x
lines=("  Instructies" "" "   Gebruik de volgende toetsen:" "   4 om naar links te bewegen"
  "   6 om naar rechts te bewegen" "   5 om het blokje te roteren" "   2 om het blokje te doen zakken"
  "   0 om het blokje tot beneden te sturen" "   Druk op q om het programma te beëindigen"
  "  Druk op een toets om te beginnen...")
instructions() {
  matches "$base" instructions || return 1
  local k
  for k in "${!lines[@]}"; do row_is $((k + 1)) "${lines[$k]}" || return 1; done
}
wait_for "the instructions" instructions
[ "$(cells colours 1 2)" = "14 0" ] && [ "$(cells colours 4 3)" = "9 0" ] && [ "$(cells colours 9 3)" = "13 0" ] ||
  fail "instructions: colours $(cells colours 1 2), $(cells colours 4 3), $(cells colours 9 3)"
echo "ok: the instructions: every line whole, in order, in its colours"

send x
first_piece() {
  matches "$base" play && [[ "$(cells piece 15)" == "at 11 "* ]] &&
    row_is 17 " Stack Fall - een spel met vallende blokjes in veertien vormen" &&
    row_is 18 " Opnieuw gebouwd in C++ voor Linux, met zelfgemaakte geluiden"
}
wait_for "the board with the first piece" first_piece
echo "ok: the board with the first piece ($(cells piece 15)) and the credits past the picture's edge"

move_left

send 0
dropped() { cap && [ "$(cells piece 15)" = "at 10 28" ] && [[ "$(cells text 2)" == *"Score: 0" ]]; }
wait_for "the piece on the floor and the score" dropped
[ "$(cells colours 2 26)" = "3 0" ] || fail "score colours $(cells colours 2 26)"
frames "4@$falls" "0@$falls"
dropped_frames=$made
wait_for "the dropped piece, square by square" matches "$dropped_frames" play
echo "ok: dropped to the floor; the score shown"

send q
game_over() {
  matches "$dropped_frames" game-over && row_is 15 "  Uw score was: 0" && row_is 17 "  Druk op een n voor nieuw spel."
}
wait_for "the game-over picture and question" game_over
[ "$(cells colours 15 2)" = "12 0" ] && [ "$(cells colours 17 2)" = "15 0" ] ||
  fail "game-over colours $(cells colours 15 2), $(cells colours 17 2)"
echo "ok: the game-over picture, the score and the question"
send N
ended "$1" 0
}
whole_game 1 '48;2;'
whole_game 2 '48;5;'

# ---------------------------------------------------------------- run 3: 256 colours, resized in play
touch "$work/go3"
wait_for "the title" matches "$base" title-picture
send x x
in_play() { matches "$base" play; }  # no key in play: every screen is one of the base game's
wait_for "the board, compact" in_play
tm resize-window -x 74 -y 40
full() { cap && "$termcells" match "$base" play <"$work/cap" 2>"$work/match.err" && ! grep -q '▀' "$work/cap"; }
wait_for "the full layout at 74 x 40" full
tm resize-window -x 60 -y 15
request() { cap && [ "$(cells text 0)" = "Enlarge the terminal to 37 x 20 or 74 x 40 (it is 60 x 15)" ] && [ "$(cells text 1)" = "" ]; }
wait_for "the request to enlarge" request
tm resize-window -x 80 -y 24
# Compact again, and nothing left of the other screens: right of the picture
# only the texts, below it only the console lines (empty at a game's start).
clean() {
  in_play || return 1
  local r line LC_ALL=C.UTF-8  # so that ${line:37} counts characters
  for r in 0 1 $(seq 3 16) 19; do
    line=$(cells text "$r")
    [ -z "${line:37}" ] || return 1
  done
  for r in 20 21 22 23; do row_is "$r" "" || return 1; done
}
wait_for "the compact layout again, nothing left over" clean
echo "ok: resized 80 x 24 -> 74 x 40 -> 60 x 15 -> 80 x 24: compact, full, the request, compact"
send C-c
ended 3 130

# ---------------------------------------------------------------- run 4: too small for either layout
tm resize-window -x 36 -y 19
touch "$work/go4"
wait_for "the sorry line" run_has 4 "Sorry, graphics doesn't work"
run_has 4 "The terminal is 36 x 19; graphics need 74 x 40 or 37 x 20" || fail "run 4: no size line: $(run_lines 4)"
[ "$(flags)" = "0 1" ] || fail "run 4: a view came up in a pane too small"
send C-c
ended 4 130
echo "ok: too small for either layout: the sorry line and both sizes"
