# Shared by the terminal view's end-to-end scripts (sourced after lib.sh):
# one tmux pane whose shell runs the game again and again, each run once the
# script says go, and the questions asked of its captures.
# Depends on: tests/e2e/lib.sh, termcells and termframes in $BUILD.
termcells=$BUILD/tests/e2e/termcells
termframes=$BUILD/tests/e2e/termframes
cells_layout=${cells_layout:-}  # "compact" to read the compact layout

# start_runs <columns> <rows> <runs>: the pane, whose shell does each line
# "N command..." of <runs> once $work/goN exists, between "=== run N"
# markers, keeping its status in $work/statusN and `stty -g` after it in
# $work/afterN; the shell outlives the Ctrl+C that ends a run. $plain in a
# command is a run with no display, TERM=tmux-256color and LANG=C.UTF-8.
# Sets $before, the terminal's settings before any run.
start_runs() {
  {
    cat <<PANE
stty -g >"$work/before"
trap 'echo interrupted' INT
run() {
  until [ -e "$work/go\$1" ]; do sleep 0.05; done
  echo "=== run \$1"
  local n=\$1
  shift
  "\$@" 2>"$work/run\$n.err"
  echo "\$?" >"$work/status\$n"
  stty -g >"$work/after\$n"
}
plain="env -u DISPLAY -u COLORTERM TERM=tmux-256color LANG=C.UTF-8"
PANE
    printf '%s\n' "$3" | sed 's/^/run /'
    echo 'echo "=== all runs done"'
    echo 'exec sleep 600'
  } >"$work/pane.sh"
  start_tmux "$1" "$2" "bash --noprofile --norc $work/pane.sh"
  wait_for "the settings before" test -s "$work/before"
  before=$(cat "$work/before")
}

send() { tm send-keys "$@"; }
flags() { tm display-message -p '#{alternate_on} #{cursor_flag}'; }
# The run's lines on the main screen, each behind a bar so that empty ones count.
run_lines() {
  tm capture-pane -J -p -S -300 | awk -v m="=== run $1" '$0 == m { on = 1; next } /^=== / { on = 0 } on { print "|" $0 }'
}
run_has() { run_lines "$1" | grep -qxF -- "|$2"; }
ended() {  # ended <run> <status>: the terminal given back as it was
  wait_for "the end of run $1" test -s "$work/after$1"
  [ "$(cat "$work/status$1")" = "$2" ] || fail "run $1: status $(cat "$work/status$1"), expected $2"
  [ "$(cat "$work/after$1")" = "$before" ] || fail "run $1: stty -g is not what it was"
  [ "$(flags)" = "0 1" ] || fail "run $1: not back on the main screen with the cursor shown ($(flags))"
  echo "ok: run $1 ended with status $2, terminal given back"
}

# A capture of the pane, and questions about it.
cap() { tm capture-pane -e -N -p >"$work/cap"; }
cells() { "$termcells" $cells_layout "$@" <"$work/cap"; }
row_is() { [ "$(cells text "$1")" = "$2" ]; }
# matches <frames> <label>: a fresh capture equals a frame of that label.
matches() { cap && cells match "$1" "$2" 2>"$work/match.err"; }
# frames <script...>: termframes' screens for that key script into the
# file named by $made.
frames() {
  made="$work/frames.${*// /_}"
  "$termframes" "$@" >"$made" || fail "termframes $*"
}
top_row() { cells piece "$1" | awk '{ print $3 }'; }

# move_left: 4 typed in play, the first piece (colour 15) seen one column
# left, then held square by square against its frames: those of the game
# with 4 typed after as many falls as the piece shows when seen moved (the
# squares are the same whenever within that time the key came), and no key
# after it for a minute: every screen from there on, while the test looks.
# Sets $falls and $moved_frames.
move_left() {
  send 4
  moved() { cap && [[ "$(cells piece 15)" == "at 10 "* ]]; }
  wait_for "the piece one column left" moved
  falls=$(($(top_row 15) - 1))
  frames "4@$falls"
  moved_frames=$made
  wait_for "the moved piece, square by square" matches "$moved_frames" play
  echo "ok: moved left after $falls falls"
}
