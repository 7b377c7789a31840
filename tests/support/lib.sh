# The harness of every end-to-end, fault and benchmark script (sourced): a
# work folder, the processes started here killed by PID on the way out,
# polling for a condition with a generous deadline, a private X server and a
# private tmux server, and the checks on a terminal given back.
# Depends on: bash, tests/support/xserver.sh; tmux for the panes.
#
# Sets $work (removed on exit) and appends to:
#   pids     processes to kill and reap on exit
#   on_exit  commands to run first on exit
#   logs     files shown when a check fails ($work/*.out and *.err when empty)

work=$(mktemp -d)
pids=()
on_exit=()
logs=()
sock="stackfall-$$-$RANDOM"
tm() { env -u TMUX tmux -L "$sock" "$@"; }

cleanup() {
  local pid f
  for f in "${on_exit[@]}"; do $f || true; done
  # SIGCONT after: a stopped process acts on the SIGTERM only once continued.
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && kill -CONT "$pid" 2>/dev/null || true; done
  tm kill-server 2>/dev/null || true
  # Only our children can be waited for; the others are gone or going.
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "${SHOTS:-}" ]; then mkdir -p "$SHOTS" && cp "$work"/*.png "$SHOTS"/ 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  local f shown=("${logs[@]}")
  [ ${#shown[@]} -gt 0 ] || shown=("$work"/*.out "$work"/*.err)
  for f in "${shown[@]}"; do [ -s "$f" ] && { echo "--- $f:"; tail -n 40 "$f"; }; done
  tm capture-pane -p -S -60 2>/dev/null | sed 's/^/pane| /' || true
  exit 1
}

# wait_for <what> <command...>: polls the command until it succeeds, for up
# to $WAIT_SECONDS (60 by default; CI machines are small and busy).
wait_for() {
  local what=$1
  shift
  local end=$((SECONDS + ${WAIT_SECONDS:-60}))
  until "$@"; do
    [ $SECONDS -lt $end ] || fail "timed out waiting for $what"
    sleep 0.05
  done
}

# wait_steady <what> <measure> <command...>: like wait_for, but the deadline
# counts from the last change of what <measure> prints, for work that goes
# on steadily and takes as long as the machine makes it take (a burst of
# thousands of keys on a loaded machine under a sanitizer).
wait_steady() {
  local what=$1 measure=$2
  shift 2
  local last now end=$((SECONDS + ${WAIT_SECONDS:-60}))
  last=$($measure || true)  # a measure that finds nothing yet is no failure
  until "$@"; do
    now=$($measure || true)
    if [ "$now" != "$last" ]; then
      last=$now
      end=$((SECONDS + ${WAIT_SECONDS:-60}))
    fi
    [ $SECONDS -lt $end ] || fail "timed out waiting for $what (stuck at: $now)"
    sleep 0.1
  done
}

# gone <pid>: true once the process has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }

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

# ---------------------------------------------------------------- a private X server
source "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"
# start_xvfb [depth] [WxH]: sets DISPLAY and xvfb_pid; 24 bits and
# 1024 x 768 unless told.
start_xvfb() {
  start_xserver "${1:-24}" "$work" "${2:-1024x768}" || fail "no X server of depth ${1:-24}"
  xvfb_pid=$xserver_pid
  pids+=("$xvfb_pid")
}

# ---------------------------------------------------------------- terminals: panes of the private tmux server
pane_started() { grep -qs . "$1"; }
# start_pane <name> <commands>: a pane that records the terminal's settings
# before, the commands' status and the settings after.
start_pane() {
  local name=$1 commands=$2
  command -v tmux >/dev/null || fail "tmux is missing"
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
# given_back <name> <status>: the pane's commands ended with that status and
# the terminal's settings are what they were before.
given_back() {
  wait_for "the end of $1" test -s "$work/$1.after"
  [ "$(cat "$work/$1.status")" = "$2" ] || fail "$1: status $(cat "$work/$1.status"), expected $2"
  cmp -s "$work/$1.before" "$work/$1.after" || fail "$1: the terminal was not given back"
  echo "ok: $1: status $2, terminal given back"
}
