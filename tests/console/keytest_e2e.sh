#!/usr/bin/env bash
# End to end: keytest in a real terminal, a tmux pane on a private server.
# Keys typed into the pane arrive as the BIOS tables say; the terminal's
# settings (stty -g) are what they were before, after keytest ends with q,
# after it is killed with SIGTERM and after Ctrl+C. Needs no terminal and no
# display of its own: tmux makes the pty.
set -euo pipefail

keytest=${BUILD:?BUILD must name the build folder}/keytest
[ -x "$keytest" ] || { echo "no $keytest"; exit 1; }
command -v tmux >/dev/null || { echo "tmux is missing"; exit 1; }

source "$(dirname "$0")/../support/lib.sh"

# The pane's own script: the settings before, then three runs of keytest,
# each followed by its exit status and the settings after it. The INT trap
# keeps this shell alive when Ctrl+C reaches the whole foreground group.
cat >"$work/pane.sh" <<EOF
trap 'echo interrupted' INT
stty -g >"$work/before"
for run in 1 2 3; do
  echo "=== run \$run"
  "$keytest"
  echo "\$?" >"$work/status\$run"
  stty -g >"$work/after\$run"
done
echo "=== all runs done"
exec sleep 600
EOF

# The pane's text after the marker of run $1.
run_text() { tm capture-pane -p -S -200 | awk -v m="=== run $1" '$0 == m { on = 1; next } /^=== / { on = 0 } on && NF'; }
run_has() { run_text "$1" | grep -qxF -- "$2"; }

tm new-session -d -x 100 -y 50 "bash --noprofile --norc $work/pane.sh"
tty=$(tm display-message -p '#{pane_tty}')
pane_pid=$(tm display-message -p '#{pane_pid}')
wait_for "the settings before" test -s "$work/before"
before=$(cat "$work/before")

keytest_pid() { pgrep -P "$pane_pid" -x keytest; }

start_run() {  # start_run <n>: waits until keytest reads keys in raw mode
  wait_for "keytest of run $1" run_has "$1" "keytest: press keys, q ends"
  [ "$(stty -g -F "$tty")" != "$before" ] || fail "run $1: the terminal is not in raw mode"
}

check_given_back() {  # check_given_back <n> <exit status>
  wait_for "the end of run $1" test -s "$work/after$1"
  [ "$(cat "$work/status$1")" = "$2" ] || fail "run $1: exit status $(cat "$work/status$1"), expected $2"
  [ "$(cat "$work/after$1")" = "$before" ] || fail "run $1: stty -g after is not what it was before"
  echo "run $1: exit status $2, terminal given back"
}

# Run 1: the keys of the tables, then q ends keytest.
start_run 1
expected=(
  "4|char 34H '4' scan 05H"
  "Left|ext 4BH"
  "F1|ext 3BH"
  "S-F1|ext 54H"
  "M-1|ext 78H"
  "C-a|char 01H scan 1EH"
  "A|char 41H 'A' scan 1EH"
  "q|char 71H 'q' scan 10H"
)
want=()
for pair in "${expected[@]}"; do
  key=${pair%%|*}
  line=${pair#*|}
  tm send-keys "$key"
  wait_for "$key to show as: $line" run_has 1 "$line"
  want+=("$line")
done
check_given_back 1 0
got=$(run_text 1 | sed '1d')
[ "$got" = "$(printf '%s\n' "${want[@]}")" ] || fail "run 1 showed other lines than the keys typed, in order"

# Run 2: killed with SIGTERM while it waits for a key.
start_run 2
tm send-keys x
wait_for "x in run 2" run_has 2 "char 78H 'x' scan 2DH"
pid=$(keytest_pid) || fail "run 2: no keytest process"
kill -TERM "$pid"
check_given_back 2 143

# Run 3: Ctrl+C typed in the terminal.
start_run 3
tm send-keys Up
wait_for "Up in run 3" run_has 3 "ext 48H"
tm send-keys 'C-\' C-z  # keys here, not signals: only Ctrl+C stops keytest
wait_for "Ctrl+\\ in run 3" run_has 3 "char 1CH scan 2BH"
wait_for "Ctrl+Z in run 3" run_has 3 "char 1AH scan 2CH"
tm send-keys C-c
check_given_back 3 130

echo "keytest end to end: all keys as expected, terminal given back three times"
