#!/usr/bin/env bash
# The game seen from outside, under a fresh Xvfb: launch to window mapped and
# to title picture (10 launches), key typed into the window to the moved
# piece on the screen, and a byte written to its terminal to the same (100
# keys each). Prints the probe's own lines, then rows
# for bench/report.sh (figure|goal|median|met).
#   bash bench/game/probe.sh [build folder, default build]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")
probe=$build/bench/game/game_probe
[ -x "$probe" ] || { echo "no $probe (it needs libxtst-dev)" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
bash "$here/../graph/xvfb_run.sh" "$probe" startup "$build/stackfall" 10 | tee -a "$out"
bash "$here/../graph/xvfb_run.sh" "$probe" keys "$build/stackfall" 100 | tee -a "$out"
bash "$here/../graph/xvfb_run.sh" "$probe" ptykeys "$build/stackfall" 100 | tee -a "$out"
# row <probe line> <figure> <goal ms> [median or 90th]
row() {
  awk -v line="$1" -v fig="$2" -v goal="$3" -v stat="${4:-median}" '
    index($0, line) == 1 { for (k = 1; k <= NF; k++) if ($k == stat) { m = $(k + 1); sub(",", "", m) } }
    END { if (m == "") { print fig "|< " goal " ms|?|?"; exit }
          printf "%s|< %s ms|%.2f ms|%s\n", fig, goal, m, (m + 0 < goal + 0) ? "yes" : "no" }' "$out"
}
row "launch to window mapped" "launch to window mapped" 50
row "launch to title picture on screen" "launch to title picture drawn" 80
row "key to moved piece on screen" "key into the window to moved piece on screen" 2
row "key to moved piece on screen" "key into the window to moved piece on screen, 90th percentile" 4 90th
row "pty byte to moved piece on screen" "byte into the terminal to moved piece on screen" 2
row "pty byte to moved piece on screen" "byte into the terminal to moved piece on screen, 90th percentile" 4 90th
