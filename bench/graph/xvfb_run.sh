#!/usr/bin/env bash
# Runs a command with a display of its own: a fresh Xvfb (24-bit, no window
# manager), stopped again when the command ends.
#   bash bench/graph/xvfb_run.sh build/bench/graph/present_bench
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: xvfb_run.sh COMMAND [ARGS...]" >&2; exit 2; }
work=$(mktemp -d)
xvfb=
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
xvfb=$!
end=$((SECONDS + 30))
until [ -s "$work/display" ]; do
  [ $SECONDS -lt $end ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.err" >&2; exit 1; }
  sleep 0.1
done
DISPLAY=":$(head -n1 "$work/display")" "$@"
