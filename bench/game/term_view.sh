#!/usr/bin/env bash
# The game shown in its terminal with no display (bench/game/TermProbe.cpp,
# a pseudo-terminal of 80 x 46, 24-bit colour): bytes written per second and
# CPU of the whole program on the title screen and in play with no key, over
# a while each (default 20 s); then a key typed into the terminal to the
# frame with the moved piece written (100 keys). Prints the probe's lines,
# then rows for bench/report.sh (figure|goal|median|met).
#   bash bench/game/term_view.sh [build folder, default build] [seconds] [COLUMNSxROWS]
# With a size (80x24: the compact layout) the rows are named for it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")
secs=${2:-20}
size=${3:-}
name="terminal view"
[ -z "$size" ] || { export TERM_PROBE_SIZE=$size; name="terminal view at ${size/x/ x }"; }
probe=$build/bench/game/term_probe
[ -x "$probe" ] || { echo "no $probe" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$probe" load "$build/stackfall" "$secs" | tee -a "$out"
"$probe" keys "$build/stackfall" 100 | tee -a "$out"
awk -v name="$name" '
  function row(figure, goal, value, unit) {
    printf "%s|< %s %s|%.3g %s|%s\n", figure, goal, unit, value, unit, value + 0 < goal + 0 ? "yes" : "no"
  }
  # The number before a unit on the line.
  function before(unit,   k) { for (k = 2; k <= NF; k++) if ($k == unit) return $(k - 1); return "?" }
  /^title screen:/ { row(name ", title screen: bytes written", 100, before("KB/s"), "KB/s")
                     row(name ", title screen: CPU, all threads", 3, before("%"), "%") }
  /^in play, no key:/ { row(name ", in play, no key: bytes written", 2, before("KB/s"), "KB/s")
                        row(name ", in play, no key: CPU, all threads", 0.5, before("%"), "%") }
  /^key to moved piece written/ { row("key typed into the terminal to the moved piece written" (name == "terminal view" ? "" : ", " substr(name, 15)), 15, before("ms"), "ms") }
' "$out"
