#!/usr/bin/env bash
# keytest against bad input and a failing terminal: standard input closed,
# /dev/null, a pipe that ends; a terminal resized under it, a terminal that
# hangs up (SIGHUP, and with SIGHUP ignored), standard output a pipe that
# closes; and 10,000 keys typed in one burst while it holds off reading.
# Never a spin (CPU ticks from /proc), never a crash, the terminal given
# back wherever one is left, keys beyond the 33 that wait lost with the bell
# and nothing else lost.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
keytest=$BUILD/keytest

# ---------------------------------------------------------------- standard input that is no terminal: nothing to read, nothing spins
check_no_terminal() {  # check_no_terminal <what> <redirections for keytest...>
  local what=$1
  shift
  local out=$work/notty.$RANDOM
  logs+=("$out.err")
  bash -c "exec \"$keytest\" $* >\"$out.out\" 2>\"$out.err\"" &
  local pid=$!
  pids+=("$pid")
  wait_for "keytest ($what)" grep -qs 'press keys' "$out.out"
  idle "$pid" "stdin $what"
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 143 ] || fail "stdin $what: status $status after SIGTERM"
  clean_log "$out.err" "stdin $what"
}
check_no_terminal "closed" "<&-"
check_no_terminal "/dev/null" "</dev/null"
printf 'q4q\n' >"$work/keys"
check_no_terminal "a pipe that has ended" "< <(cat \"$work/keys\")"

# ---------------------------------------------------------------- a terminal: tmux panes on a private server
keytest_of() { pgrep -P "$(cat "$work/$1.pid")" -x keytest; }

# Resized: SIGWINCH, repeatedly, while keytest waits; keys still come.
start_pane resize "\"$keytest\" 2>\"$work/resize.err\""
logs+=("$work/resize.err")
wait_for "keytest in the resize pane" pane_has resize "press keys"
for size in "60 20" "120 40" "30 10" "100 50"; do tm resize-window -t resize -x "${size% *}" -y "${size#* }"; done
idle "$(keytest_of resize)" "after four resizes"
tm send-keys -t resize 4 Left q
wait_for "the keys after the resizes" pane_has resize "char 71H 'q' scan 10H"
pane_has resize "char 34H '4' scan 05H" && pane_has resize "ext 4BH" || fail "resize: keys lost: $(pane_text resize)"
given_back resize 0
clean_log "$work/resize.err" "resize"

# Standard output a pipe that closes: keytest | head. The next line written
# raises SIGPIPE; the terminal is given back all the same.
start_pane pipe "\"$keytest\" 2>\"$work/pipe.err\" | head -n 2"
logs+=("$work/pipe.err")
wait_for "keytest behind head" pane_has pipe "press keys"
tm send-keys -t pipe a
wait_for "a through head" pane_has pipe "char 61H 'a'"
tm send-keys -t pipe b
given_back pipe 141
clean_log "$work/pipe.err" "pipe"

# 10,000 keys in one burst while keytest holds off reading: 33 wait in the
# queue, 9,967 are lost with the bell, then the 33 come in the order typed.
start_pane burst "\"$keytest\" --hold \"$work/go\" 2>\"$work/burst.err\""
logs+=("$work/burst.err")
hear_bell
wait_for "keytest in the burst pane" pane_has burst "press keys"
keys=$(burst_keys)
tm send-keys -t burst -l "$keys"
check_burst burst "$keys"
tm send-keys -t burst q
given_back burst 0
clean_log "$work/burst.err" "burst"
echo "ok: burst: 33 keys read in order, 9,967 lost with the bell"

# Hang-up with SIGHUP ignored (nohup): the terminal thread ends at the hang-up
# and nothing spins; then the terminal goes with SIGHUP handled: keytest ends.
start_pane nohup "trap '' HUP; \"$keytest\" 2>\"$work/nohup.err\""
start_pane hup "\"$keytest\" 2>\"$work/hup.err\""
logs+=("$work/nohup.err" "$work/hup.err")
wait_for "keytest in the nohup pane" pane_has nohup "press keys"
wait_for "keytest in the hup pane" pane_has hup "press keys"
nohup_pid=$(keytest_of nohup)
hup_pid=$(keytest_of hup)
tm kill-server
wait_for "keytest to end at the hang-up" gone "$hup_pid"
idle "$nohup_pid" "hung-up terminal, SIGHUP ignored"
kill -TERM "$nohup_pid"
wait_for "the keytest that ignored SIGHUP to end on SIGTERM" gone "$nohup_pid"
clean_log "$work/hup.err" "hang-up"
clean_log "$work/nohup.err" "hang-up with SIGHUP ignored"
echo "ok: hang-up: keytest ends; with SIGHUP ignored it idles and ends on SIGTERM"
