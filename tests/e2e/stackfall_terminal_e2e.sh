#!/usr/bin/env bash
# End to end: stackfall in a real terminal (a tmux pane on a private
# server), keys typed into the terminal. Four runs in the one pane:
#  1. with a display: two games played from the terminal (the window shows
#     them), n between them, N at the end; the console shows the sound lines
#     and two empty lines before each game;
#  2. killed with SIGTERM in play;  3. Ctrl+C in the title;
#  4. with no display at all and the window alone allowed (STACKFALL_VIEW,
#     else the terminal would show the game): "Sorry, graphics doesn't work"
#     at each of two games, both played blind from the terminal, N at the end.
# After each run the terminal's settings (stty -g) are what they were before.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

start_xvfb

# The pane's own script. The INT trap keeps it alive when Ctrl+C reaches the
# whole foreground group.
cat >"$work/pane.sh" <<PANE
trap 'echo interrupted' INT
stty -g >"$work/before"
for run in 1 2 3 4; do
  echo "=== run \$run"
  if [ \$run = 4 ]; then env -u DISPLAY STACKFALL_VIEW=window "$game" 2>"$work/run4.err"; else "$game" 2>"$work/run\$run.err"; fi
  echo "\$?" >"$work/status\$run"
  stty -g >"$work/after\$run"
done
echo "=== all runs done"
exec sleep 600
PANE

start_tmux 100 60 "bash --noprofile --norc $work/pane.sh"
wait_for "the settings before" test -s "$work/before"
before=$(cat "$work/before")

# The pane's lines after the marker of run $1, up to the next marker.
run_text() { tm capture-pane -p -S -200 | awk -v m="=== run $1" '$0 == m { on = 1; next } /^=== / { on = 0 } on'; }
run_has() { run_text "$1" | grep -qxF -- "$2"; }
run_count() { run_text "$1" | grep -cxF -- "$2" || true; }
# The lines after the sound verdict up to the next marker, each behind a
# bar so that empty lines count.
after_verdict() {
  tm capture-pane -p -S -200 | awk -v m="=== run $1" '
    $0 == m { on = 1; next } /^=== / { on = 0 }
    on && seen { print "|" $0 } on && /^Sound (works|doesn.t work) on this computer/ { seen = 1 }'
}
game_pid() { pgrep -P "$pane_pid" -x stackfall; }
send() { tm send-keys "$@"; }

check_given_back() {  # check_given_back <run> <exit status>
  wait_for "the end of run $1" test -s "$work/after$1"
  [ "$(cat "$work/status$1")" = "$2" ] || fail "run $1: exit status $(cat "$work/status$1"), expected $2"
  [ "$(cat "$work/after$1")" = "$before" ] || fail "run $1: stty -g after is not what it was before"
  echo "ok: run $1 ended with status $2, terminal given back"
}

raw() { [ "$(stty -g -F "$(tm display-message -p '#{pane_tty}')")" != "$before" ]; }

# ---------------------------------------------------------------- run 1: two games from the terminal, with the window
wait_for "the sound verdict" run_has 1 "Sound doesn't work on this computer..."
wait_for "the title" shows_title
raw || fail "run 1: the terminal is not in raw mode"
send x
wait_for "the instructions" shows_instructions
send x
wait_for "the first piece" piece_in_column 15 11
send 4
wait_for "the piece one column left" piece_in_column 15 10
send 0
wait_for "the piece on the floor" piece_is 15 "at 10 28 shape 0,0 0,1 1,1 1,2"
wait_for "the score" shows_score
send q
wait_for "the game-over picture" shows_game_over
send n
wait_for "the second title" shows_title
send x x
wait_for "the second board" shows_board
# The second game goes on with the sequence: its first piece is the third of the run.
third() { shot && [[ "$(cells piece 2)" == "at 18 "* ]]; }
wait_for "the third piece of the run" third
send q
wait_for "the second game-over picture" shows_game_over
send N
check_given_back 1 0
[ "$(after_verdict 1)" = "$(printf '|\n|\n|\n|\n|\n|')" ] || fail "run 1: console after the verdict: $(after_verdict 1)"
run_has 1 "You should here sound now, this to check whether sound works on your system..." ||
  fail "run 1: no sound check line"
echo "ok: two games from the terminal; two empty lines before each"

# ---------------------------------------------------------------- run 2: SIGTERM in play
wait_for "the title of run 2" shows_title
send x x
wait_for "the board of run 2" shows_board
pid=$(game_pid) || fail "run 2: no stackfall process"
kill -TERM "$pid"
check_given_back 2 143

# ---------------------------------------------------------------- run 3: Ctrl+C on the title
wait_for "the title of run 3" shows_title
send C-c
check_given_back 3 130

# ---------------------------------------------------------------- run 4: no display, played blind
# Blind, the script tells the screens apart by where the main thread waits
# (waits_for_key): not in the title's 10 ms pauses nor in play's timed wait.
wait_for "the first no-graphics line" run_has 4 "Sorry, graphics doesn't work"
pid=$(game_pid) || fail "run 4: no stackfall process"
send x
wait_for "the blind instructions" waits_for_key
send x 0 q
wait_for "the blind game-over question" waits_for_key
send n
two_sorries() { [ "$(run_count 4 "Sorry, graphics doesn't work")" = 2 ]; }
wait_for "the second no-graphics line" two_sorries
send x
wait_for "the second blind instructions" waits_for_key
send x q
wait_for "the second blind game-over question" waits_for_key
send N
check_given_back 4 0
sorry="|Sorry, graphics doesn't work"
[ "$(after_verdict 4)" = "$(printf '|\n|\n%s\n|\n|\n|\n%s\n|' "$sorry" "$sorry")" ] ||
  fail "run 4: console after the verdict: $(after_verdict 4)"
echo "ok: no display: the message at each game, two games played blind, status 0"
