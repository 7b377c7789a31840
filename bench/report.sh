#!/usr/bin/env bash
# Every benchmark of the project, one table: figure | goal | median | met.
#
#   bash bench/report.sh [build folder, default build]
#
# The benchmarks run from the build folder, which must be a Release or
# RelWithDebInfo build (scripts/test.sh makes build/ so); it is built first
# if a benchmark is missing. Medians: of 5 repetitions for the Google
# Benchmark figures (each the mean of its own many iterations), of the
# samples themselves for the key latency, and of 3 windows of 5 s for the
# idle CPU of each thread (utime + stime of /proc/<pid>/task/<tid>/stat).
#
# More figures: every executable-or-not bench/game/*.sh and bench/web/*.sh
# is run as
#   bash bench/game/NAME.sh <build folder>
# from the top of the source tree; each line it prints of the form
#   figure|goal|median|met
# becomes a row of the table as it stands (its other output goes to the log
# in the build folder). A script that fails adds a row saying so.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(realpath "${1:-$top/build}")
log=$build/bench-report.log
: >"$log" 2>/dev/null || { mkdir -p "$build"; : >"$log"; }

rows=()
row() { rows+=("$1|$2|$3|$4"); }  # row <figure> <goal> <median> <met>
# met <value> <limit>: yes when value < limit (numbers), else no; "?" unknown.
met() { awk -v v="$1" -v l="$2" 'BEGIN { if (v == "" || v == "?") print "?"; else print (v + 0 < l + 0) ? "yes" : "no" }'; }

bench_bin() { echo "$build/bench/$1"; }
need=(console/key_latency_bench sound/sound_bench sound/pulse_bench graph/graph_bench graph/present_bench)
missing=0
for b in "${need[@]}"; do [ -x "$(bench_bin "$b")" ] || missing=1; done
[ -x "$build/keytest" ] && [ -x "$build/tests/graph/graphdemo" ] || missing=1
if [ $missing -eq 1 ]; then
  echo "building $build (RelWithDebInfo) ..." >&2
  # Tests and benchmarks on by name: scripts/run.sh may have made the folder without them.
  { cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=OFF -DSTACKFALL_TESTS=ON -DSTACKFALL_BENCH=ON &&
      cmake --build "$build" -j"$(nproc)"; } >>"$log" 2>&1 ||
    { echo "build failed; see $log" >&2; exit 1; }
fi
type=$(awk -F= '/^CMAKE_BUILD_TYPE:/ { print $2 }' "$build/CMakeCache.txt")
case $type in
  Release | RelWithDebInfo) ;;
  *) echo "$build is a '$type' build: benchmark a Release or RelWithDebInfo build" >&2; exit 1 ;;
esac

# gbench_median <csv file> <benchmark name>: the median real time, in the
# benchmark's own unit, printed as "<value> <unit>".
gbench_median() {
  awk -F, -v n="\"$2_median\"" '$1 == n { print $3, $5 }' "$1"
}
# to <unit> <value> <value unit>: converts ns/us/ms into the wanted unit.
to() {
  awk -v want="$1" -v v="$2" -v u="$3" 'BEGIN {
    f["ns"] = 1e-9; f["us"] = 1e-6; f["ms"] = 1e-3; f["s"] = 1
    if (v == "" || !(u in f)) { print "?"; exit }
    printf "%.4g", v * f[u] / f[want] }'
}
gbench() {  # gbench <binary> <csv out> [args...]: 5 repetitions, aggregates only
  local bin=$1 out=$2
  shift 2
  "$bin" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv "$@" \
    >"$out" 2>>"$log" || echo "$(basename "$bin") failed" >>"$log"
}
add_gbench() {  # add_gbench <csv> <benchmark> <figure> <goal text> <limit> <unit of limit and median>
  local value
  value=$(to "$6" $(gbench_median "$1" "$2"))
  row "$3" "$4" "$value $6" "$(met "$value" "$5")"
}

source "$top/tests/support/lib.sh"

echo "running the benchmarks (a few minutes) ..." >&2

# ---------------------------------------------------------------- key latency: a record into the console input buffer to KeyPressed
"$(bench_bin console/key_latency_bench)" --benchmark_format=csv >"$work/key.csv" 2>>"$log" </dev/null
for arg in 0 1; do
  # The counters follow the standard columns; find median_us by its header.
  v=$(awk -F, -v n="\"BM_RecordToKeyPressed/$arg/iterations:" '
        NR == 1 { for (i = 1; i <= NF; i++) if ($i == "median_us" || $i == "\"median_us\"") c = i; next }
        index($1, n) == 1 && c { print $c }' "$work/key.csv")
  v=$(awk -v v="$v" 'BEGIN { if (v == "") print "?"; else printf "%.4g", v }')
  what=$([ $arg -eq 0 ] && echo "back to back" || echo "after 1 ms of quiet")
  row "key to KeyPressed ($what)" "< 200 us" "$v us" "$(met "$v" 200)"
done

# ---------------------------------------------------------------- PlaySound, asynchronous, of a file decoded before
gbench "$(bench_bin sound/sound_bench)" "$work/sound.csv" --benchmark_filter=AsyncPlay
add_gbench "$work/sound.csv" BM_AsyncPlayOfADecodedSound/wohoo "PlaySound async, wohoo.wav decoded" "< 1 ms" 1000 us
add_gbench "$work/sound.csv" BM_AsyncPlayOfADecodedSound/game_over "PlaySound async, game_over.wav decoded" "< 1 ms" 1000 us

# ---------------------------------------------------------------- sound on a PulseAudio server of its own: its own rows
"$(bench_bin sound/pulse_bench)" 15 >"$work/pulse.out" 2>>"$log" || echo "pulse_bench failed" >>"$log"
while IFS= read -r line; do
  [ "$(awk -F'|' '{ print NF }' <<<"$line")" -eq 4 ] && rows+=("$line")
done <"$work/pulse.out"
cat "$work/pulse.out" >>"$log"

# ---------------------------------------------------------------- drawing on the back buffer
gbench "$(bench_bin graph/graph_bench)" "$work/graph.csv"
add_gbench "$work/graph.csv" BM_FullBoard "full board, 736 rectangles" "< 0.2 ms" 0.2 ms
add_gbench "$work/graph.csv" BM_GameOverFrame "game-over frame, 667 rectangles" "< 15 ms" 15 ms
add_gbench "$work/graph.csv" BM_IntroCycle "intro cycle, 1,722 rectangles" "< 1 ms" 1 ms

# ---------------------------------------------------------------- a present under Xvfb
bash "$here/graph/xvfb_run.sh" bash -c \
  "\"$(bench_bin graph/present_bench)\" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv" \
  >"$work/present.csv" 2>>"$log"
add_gbench "$work/present.csv" BM_Present "present of 555 x 600 under Xvfb" "< 0.5 ms" 0.5 ms

# ---------------------------------------------------------------- idle CPU of each thread
hz=$(getconf CLK_TCK)
# idle_threads <program> <pid>: a row per thread, the median of 3 windows of
# 5 s of its user + system ticks, as a share of one core.
idle_threads() {
  local program=$1 pid=$2 w t
  local -A samples=() names=()
  for w in 1 2 3; do
    local -A before=()
    for t in /proc/"$pid"/task/*; do before[${t##*/}]=$(awk '{ print $14 + $15 }' "$t/stat" 2>/dev/null); done
    sleep 5  # the measuring window
    for t in /proc/"$pid"/task/*; do
      local tid=${t##*/}
      [ -n "${before[$tid]:-}" ] || continue
      names[$tid]=$(cat "$t/comm" 2>/dev/null)
      samples[$tid]+="$(($(awk '{ print $14 + $15 }' "$t/stat" 2>/dev/null) - before[$tid])) "
    done
  done
  for t in $(printf '%s\n' "${!samples[@]}" | sort -n); do
    local pct
    pct=$(printf '%s\n' ${samples[$t]} | sort -n | awk -v hz="$hz" '{ v[NR] = $1 } END { printf "%.2f", 100 * v[int((NR + 1) / 2)] / hz / 5 }')
    row "idle CPU, $program thread '${names[$t]}'" "< 0.5 %" "$pct %" "$(met "$pct" 0.5)"
  done
}

# keytest with standard input a terminal: main, terminal and key reader.
tm new-session -d -x 80 -y 24 "exec \"$build/keytest\""
pane=$(tm display-message -p '#{pane_pid}')
keytest_ready() { tm capture-pane -p | grep -q 'press keys'; }
wait_for "keytest in its pane" keytest_ready
sleep 1  # past the start-up
idle_threads keytest "$pane"
tm kill-server 2>/dev/null || true

# graphdemo's open window under Xvfb: main, window server and SDL's own.
start_xvfb 2>>"$log"
"$build/tests/graph/graphdemo" </dev/null >"$work/demo.out" 2>>"$log" &
demo=$!
pids+=("$demo")
wait_for "graphdemo's window" grep -qs '^ready' "$work/demo.out"
sleep 1  # the first presents settle
idle_threads graphdemo "$demo"

# ---------------------------------------------------------------- the game's own figures
shopt -s nullglob
game_scripts=("$top"/bench/game/*.sh "$top"/bench/web/*.sh)
for script in "${game_scripts[@]}"; do
  out=$work/game.out
  if (cd "$top" && bash "$script" "$build") >"$out" 2>>"$log"; then
    while IFS= read -r line; do
      [ "$(awk -F'|' '{ print NF }' <<<"$line")" -eq 4 ] && rows+=("$line")
    done <"$out"
  else
    row "${script#"$top"/}" "" "failed" "? (see $log)"
  fi
  cat "$out" >>"$log"
done

# ---------------------------------------------------------------- the table
{
  echo "figure|goal|median|met"
  echo "------|----|------|---"
  printf '%s\n' "${rows[@]}"
} | awk -F'|' '
  { for (i = 1; i <= 4; i++) { gsub(/^ +| +$/, "", $i); cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
  END {
    for (r = 1; r <= NR; r++) {
      line = ""
      for (i = 1; i <= 4; i++) {
        c = cell[r, i]
        if (c ~ /^-+$/) { c = ""; while (length(c) < w[i]) c = c "-" }
        line = line (i > 1 ? " | " : "") sprintf("%-" w[i] "s", c)
      }
      sub(/ +$/, "", line)
      print line
    }
  }'
echo "(details: $log)"
