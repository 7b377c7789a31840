#!/usr/bin/env bash
# The browser build's figures, one line each: figure|goal|median|met.
# - Start pressed to the whole title on the canvas (median of 5 page loads);
# - a key to the changed canvas pixels, median and 90th percentile over 100
#   keys in play (goal: median under 4 ms);
# - CPU of every Chromium process in play with no key over 20 s (goal:
#   under 1 % of one core);
# - what a player downloads, raw and gzip -9, the code (page, script,
#   WebAssembly, worker) and the sounds (goal: the code under 200 KB gzip).
#   bash bench/web/web_bench.sh [native build folder] [seconds, default 20]
# (the folder, as bench/report.sh passes it, is the one scripts/web_test.sh uses: build/)
# Builds what it needs first (scripts/web_test.sh --prepare).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
[ -d "${1:-}" ] && shift
secs=${1:-20}
bash "$top/scripts/web_test.sh" --prepare >/dev/null
source "$top/tests/support/lib.sh"
page=$top/build-web/page

yes_if() { awk -v v="$1" -v l="$2" 'BEGIN { print (v + 0 < l + 0) ? "yes" : "no" }'; }
kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }
gz() { gzip -9c "$@" | wc -c; }

# --- sizes
code=("$page/index.html" "$page/stackfall.js" "$page/stackfall.wasm" "$page/stackfall.worker.js")
code_raw=$(cat "${code[@]}" | wc -c)
code_gz=0
for f in "${code[@]}"; do code_gz=$((code_gz + $(gz "$f"))); done
sounds_raw=$(wc -c <"$page/stackfall.data")
sounds_gz=$(gz "$page/stackfall.data")

# --- the page
"$top/build/tests/web/webframes" "$work" >/dev/null 2>&1
python3 "$top/scripts/webserve.py" "$page" 0 >"$work/server.out" 2>&1 &
pids+=($!)
served() { grep -q '^Serving http' "$work/server.out"; }
wait_for "the page's server" served
NODE_PATH="$top/build-web/node/node_modules" node "$here/page_bench.js" "$(sed -n 's/^Serving //p' "$work/server.out")" \
  "$work/title.rgb" "$work/profile" "$secs" >"$work/bench.out" 2>&1 &
node_pid=$!
pids+=("$node_pid")
has() {
  grep -q "^$1" "$work/bench.out" && return 0
  if grep -q '^error' "$work/bench.out" || gone "$node_pid"; then fail "page_bench.js: $(cat "$work/bench.out")"; fi
  return 1
}
WAIT_SECONDS=300 wait_for "the keys' figures" has idle_begins

# Every process below node: the browser and all its helpers.
descendants() {
  local p kids
  for p in "$@"; do
    kids=$(awk -v pp="$p" '$4 == pp { print $1 }' /proc/[0-9]*/stat 2>/dev/null || true)
    if [ -n "$kids" ]; then
      echo "$kids"
      descendants $kids
    fi
  done
}
chromium_ticks() {
  local t=0 p
  for p in $(descendants "$node_pid"); do t=$((t + $(ticks "$p" 2>/dev/null || echo 0))); done
  echo "$t"
}
sleep 0.5  # the first presents of the board settle
processes=$(descendants "$node_pid" | wc -l)
t0=$(chromium_ticks)
sleep "$secs"  # the measuring window
t1=$(chromium_ticks)
wait "$node_pid" || fail "page_bench.js: $(cat "$work/bench.out")"
value() { sed -n "s/^$1 //p" "$work/bench.out"; }

cpu=$(awk -v t=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v s="$secs" 'BEGIN { printf "%.2f", 100 * t / hz / s }')
title=$(value start_to_title_ms)
median=$(value key_to_pixels_median_ms)
p90=$(value key_to_pixels_p90_ms)
echo "web: Start pressed to the whole title on the canvas (5 loads)|none|$title ms|n/a"
echo "web: key to changed canvas pixels, $(value key_samples) keys|< 4 ms median|$median ms (p90 $p90 ms)|$(yes_if "$median" 4)"
echo "web: CPU of all $processes Chromium processes, in play, no key, ${secs} s|< 1 % of a core|$cpu %|$(yes_if "$cpu" 1)"
echo "web: download, the code: raw / gzip|< 200 KB gzip|$(kb "$code_raw") / $(kb "$code_gz")|$(yes_if "$code_gz" 204800)"
echo "web: download, with the sounds: raw / gzip|none|$(kb $((code_raw + sounds_raw))) / $(kb $((code_gz + sounds_gz)))|n/a"
