# Shared by the fault scripts (sourced): a work folder and the clean-up of
# every process started, waiting for a condition with a generous deadline,
# a private X server and tmux server, CPU ticks from /proc, sanitizer
# reports in a log. Needs $BUILD.
: "${BUILD:?BUILD must name the build folder}"

work=$(mktemp -d)
pids=()
sock="stackfall-faults-$$-$RANDOM"
tm() { env -u TMUX tmux -L "$sock" "$@"; }

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  tm kill-server 2>/dev/null || true
  for pid in "${pids[@]}"; do
    # Only our children can be waited for; the others are gone or going.
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Logs shown when a check fails.
logs=()
fail() {
  echo "FAIL: $*"
  local f
  for f in "${logs[@]}"; do [ -s "$f" ] && { echo "--- $f:"; tail -n 40 "$f"; }; done
  tm capture-pane -p -S -60 2>/dev/null | sed 's/^/pane| /' || true
  exit 1
}

# wait_for <what> <command...>: polls the command every 0.1 s for up to 60 s.
wait_for() {
  local what=$1
  shift
  local end=$((SECONDS + 60))
  until "$@"; do
    [ $SECONDS -lt $end ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

# start_xvfb <depth>: a private X server with a screen of that depth; sets
# DISPLAY and xvfb_pid.
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
start_xvfb() {
  start_xserver "$1" "$work" || fail "no X server of depth $1"
  xvfb_pid=$xserver_pid
  pids+=("$xvfb_pid")
}

# ticks <pid>: user + system CPU time of the process so far, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# idle <pid> <what>: the process must use next to no CPU over two seconds
# (a spinning thread would use some 200 ticks) and still be there.
idle() {
  local before after
  before=$(ticks "$1") || fail "$2: the process is gone"
  sleep 2  # the measuring window, not a wait for a condition
  after=$(ticks "$1") || fail "$2: the process ended while idle"
  [ $((after - before)) -le 8 ] || fail "$2: $((after - before)) ticks of CPU in 2 s while idle"
  echo "ok: $2: $((after - before)) ticks of CPU in 2 s"
}

# clean_log <file> <what>: no sanitizer report and no crash in the log.
clean_log() {
  if grep -qE 'Sanitizer|runtime error|Segmentation fault|Aborted' "$1"; then fail "$2: $(cat "$1")"; fi
}

# gone <pid>: true once the process has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }


# --- Terminals: panes of a private tmux server --------------------------------
pane_started() { grep -qs . "$1"; }
# start_pane <name> <commands>: a pane that records the terminal's settings
# before, the commands' status and the settings after.
start_pane() {
  local name=$1 commands=$2
  cat >"$work/$name.sh" <<EOF
stty -g >"$work/$name.before"
echo \$\$ >"$work/$name.pid"
$commands
echo "\${PIPESTATUS[0]}" >"$work/$name.status"
stty -g >"$work/$name.after"
exec sleep 600
EOF
  if tm has-session 2>/dev/null; then
    tm new-window -d -n "$name" "bash --noprofile --norc $work/$name.sh"
  else
    tm new-session -d -x 100 -y 50 -n "$name" "bash --noprofile --norc $work/$name.sh"
  fi
  wait_for "the pane $name" pane_started "$work/$name.pid"
  pids+=("$(cat "$work/$name.pid")")  # a pane that ignores SIGHUP outlives its server
}
pane_text() { tm capture-pane -p -t "$1" -S -100; }
pane_has() { pane_text "$1" | grep -qF -- "$2"; }
given_back() {  # given_back <name> <status>
  wait_for "the end of $1" test -s "$work/$1.after"
  [ "$(cat "$work/$1.status")" = "$2" ] || fail "$1: status $(cat "$work/$1.status"), expected $2"
  cmp -s "$work/$1.before" "$work/$1.after" || fail "$1: the terminal was not given back"
  echo "ok: $1: status $2, terminal given back"
}

# --- The burst: 10,000 keys typed while the program holds off reading ---------
# Letters and digits, q left out (it would end the program).
burst_keys() { head -c 10000 < <(yes 'abcdefghijklmnoprstuvwxyz0123456789' | tr -d '\n'); }
# Before the burst: the bell of a pane rings a file.
hear_bell() { tm set-hook -g alert-bell "run-shell 'touch $work/bell'"; }
# check_burst <pane> <keys typed>: once all are in, 33 wait and 9,967 were
# lost with the bell; released, the 33 come in the order typed, nothing more
# lost.
check_burst() {
  local pane=$1 keys=$2
  wait_for "9,967 keys lost" pane_has "$pane" "held: 9967 keys lost"
  touch "$work/go"
  read_keys() { [ "$(pane_text "$pane" | grep -c '^char ')" -ge 33 ]; }
  wait_for "the 33 keys" read_keys
  local got
  got=$(pane_text "$pane" | sed -n "s/^char [0-9A-F]*H '\(.\)'.*/\1/p" | tr -d '\n')
  [ "$got" = "${keys:0:33}" ] || fail "burst: read '$got', typed '${keys:0:33}'"
  [ "$(pane_text "$pane" | grep '^held:' | tail -n 1)" = "held: 9967 keys lost" ] || fail "burst: another number of keys lost"
  test -e "$work/bell" || fail "burst: no bell for the lost keys"
}
