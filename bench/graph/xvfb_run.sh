#!/usr/bin/env bash
# Runs a command with a display of its own: a fresh Xvfb (24-bit, no window
# manager; 1024 x 768 unless XVFB_SIZE says otherwise, as 2000x2000),
# stopped again when the command ends.
#   bash bench/graph/xvfb_run.sh build/bench/graph/present_bench
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: xvfb_run.sh COMMAND [ARGS...]" >&2; exit 2; }
source "$(dirname "$0")/../../tests/support/lib.sh"
start_xvfb 24 "${XVFB_SIZE:-1024x768}"
"$@"
