#!/usr/bin/env bash
# graphdemo on other displays than the usual 24-bit one, and a display that
# goes away:
#  - 16 bits a pixel: NumPColor is 65536 and the screen shows the back
#    buffer's colours as a 5-6-5 display keeps them;
#  - 8 bits a pixel (PseudoColor): SDL has no window surface for it; the
#    program says so and ends with status 9, it does not hang;
#  - the X server killed under graphdemo --console in a terminal: the
#    program ends with a message and status 9, the terminal given back;
#  - the window destroyed by another client (xdotool windowclose): the same;
#  - requests the X server refuses: one line on stderr, the program goes on.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
demo=$BUILD/tests/graph/graphdemo
compare=$BUILD/tests/faults/rgbcompare

# ---------------------------------------------------------------- 16 bits a pixel
start_xvfb 16
logs+=("$work/d16.out" "$work/d16.err")
"$demo" --dump "$work/dump.ppm" >"$work/d16.out" 2>"$work/d16.err" &
pids+=($!)
wait_for "the window on 16 bits" grep -qs '^ready' "$work/d16.out"
grep -q '^ready 555x600 .* colours 65536$' "$work/d16.out" || fail "16 bits: $(cat "$work/d16.out")"
/usr/bin/convert "$work/dump.ppm" -depth 8 "rgb:$work/dump.rgb"
shot_matches() {
  /usr/bin/import -window root "$work/root.png" 2>/dev/null || return 1
  /usr/bin/convert "$work/root.png" -crop 555x600+1+1 +repage -depth 8 "rgb:$work/shot.rgb"
  "$compare" "$work/shot.rgb" "$work/dump.rgb" 5 6 5 555 2>"$work/compare.err"
}
wait_for "the screen to show the back buffer in 5-6-5" shot_matches
clean_log "$work/d16.err" "16 bits"
echo "ok: 16 bits: NumPColor 65536, the screen is the back buffer in 5-6-5"
kill "$xvfb_pid"

# ---------------------------------------------------------------- 8 bits a pixel
start_xvfb 8
status=0
timeout 60 "$demo" >"$work/d8.out" 2>"$work/d8.err" || status=$?
logs+=("$work/d8.out" "$work/d8.err")
[ "$status" -eq 9 ] || fail "8 bits: status $status"
grep -qx "Couldn't create main window" "$work/d8.err" || fail "8 bits: no message"
clean_log "$work/d8.err" "8 bits"
echo "ok: 8 bits: no window surface, the program ends with status 9 and says so"
kill "$xvfb_pid"

# ---------------------------------------------------------------- the display goes away
start_xvfb 24
start_pane gone "\"$demo\" --console 2>\"$work/gone.err\""
logs+=("$work/gone.err")
wait_for "the window" pane_has gone "ready 555x600"
demo_pid=$(pgrep -P "$(cat "$work/gone.pid")" -x graphdemo)
# The terminal is raw while graphdemo reads keys from it.
raw() { [ "$(stty -g -F "$(tm display-message -p -t gone '#{pane_tty}')")" != "$(cat "$work/gone.before")" ]; }
wait_for "the terminal in raw mode" raw
kill "$xvfb_pid"
given_back gone 9
grep -q 'the display is gone' "$work/gone.err" || fail "no message when the display went: $(cat "$work/gone.err")"
gone "$demo_pid" || fail "graphdemo still runs"
clean_log "$work/gone.err" "display gone"
echo "ok: display gone: message, status 9, terminal given back"

# ---------------------------------------------------------------- the window destroyed by another client
start_xvfb 24
# The panes' tmux server still has the display of the run above.
start_pane closed "DISPLAY=$DISPLAY \"$demo\" --console 2>\"$work/closed.err\""
logs+=("$work/closed.err")
wait_for "the window" pane_has closed "ready 555x600"
xdotool search --name '^Graph$' windowclose
given_back closed 9
grep -q 'the display is gone' "$work/closed.err" || fail "no message when the window was destroyed: $(cat "$work/closed.err")"
clean_log "$work/closed.err" "window destroyed"
echo "ok: window destroyed by another client: message, status 9, terminal given back"

# ---------------------------------------------------------------- refused requests
status=0
timeout 60 "$BUILD/tests/platform/xerror_probe" >"$work/probe.out" 2>"$work/probe.err" || status=$?
logs+=("$work/probe.out" "$work/probe.err")
[ "$status" -eq 0 ] && grep -qx alive "$work/probe.out" || fail "refused requests: status $status"
[ "$(grep -c 'X error' "$work/probe.err")" -eq 1 ] || fail "refused requests: not one line: $(cat "$work/probe.err")"
grep -q 'BadWindow' "$work/probe.err" || fail "refused requests: $(cat "$work/probe.err")"
echo "ok: two refused requests: one line, the program goes on"
