#!/usr/bin/env bash
# Runs a command with a display of its own: a fresh Xvfb (24-bit, no window
# manager), stopped again when the command ends.
#   bash bench/graph/xvfb_run.sh build/bench/graph/present_bench
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: xvfb_run.sh COMMAND [ARGS...]" >&2; exit 2; }
source "$(dirname "$0")/../../tests/support/xserver.sh"
work=$(mktemp -d)
xserver_pid=
cleanup() {
  if [ -n "$xserver_pid" ]; then kill "$xserver_pid" 2>/dev/null || true; wait "$xserver_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
start_xserver 24 "$work"
"$@"
