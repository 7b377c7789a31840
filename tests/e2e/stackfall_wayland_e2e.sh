#!/usr/bin/env bash
# End to end on a Wayland compositor: the game keeps X11 and runs through
# Xwayland, as on a Wayland desktop. Under weston's headless backend with
# Xwayland its window opens and shows the title (read from the window
# itself: a rootless Xwayland has no picture of its root). The headless
# backend has no input device, so Xwayland gives no window the keyboard;
# keys are typed under weston's X11 backend instead, nested in a private
# Xvfb whose keyboard is weston's seat: a key typed into weston's output
# reaches the game's window and takes it from the title.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
for tool in weston Xwayland; do command -v "$tool" >/dev/null || fail "$tool is missing"; done

# Xwayland makes its socket there, as an X server does.
mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# start_weston <name> <arguments...>: weston with Xwayland; sets xwayland to
# the X display it serves.
start_weston() {
  local name=$1
  shift
  weston --socket="wayland-$name" --xwayland --no-config "$@" >"$work/weston-$name.out" 2>&1 &
  pids+=($!)
  weston_pid=$!
  listening() { grep -q 'xserver listening on display :[0-9]' "$work/weston-$name.out"; }
  wait_for "weston ($name) and its X display" listening
  xwayland=$(grep -o 'xserver listening on display :[0-9]*' "$work/weston-$name.out" | grep -o ':[0-9]*$')
}
# The game on Xwayland, and its window there.
start_game() {
  DISPLAY=$xwayland "$game" </dev/null >"$work/game-$1.out" 2>"$work/game-$1.err" &
  pid=$!
  pids+=("$pid")
  game_window() { game_id=$(DISPLAY=$xwayland xdotool search --name '^Graph$' 2>/dev/null | tail -n 1) && [ -n "$game_id" ]; }
  wait_for "the game's window on Xwayland ($1)" game_window
}
# window_shows <x> <y> <colour>: the game's window shows that colour there.
window_shows() {
  DISPLAY=$xwayland /usr/bin/import -window "$game_id" "$work/window.png" 2>/dev/null &&
    /usr/bin/convert "$work/window.png" -crop 555x600+0+0 +repage "$work/shot.ppm" && [ "$(cells at "$1" "$2")" = "$3" ]
}
stop() {
  kill "$1"
  wait "$1" 2>/dev/null || true
}
# Weston ends its Xwayland, which leaves its socket behind.
stop_weston() {
  stop "$weston_pid"
  [ -e "/tmp/.X${xwayland#:}-lock" ] || rm -f "/tmp/.X11-unix/X${xwayland#:}"
}

start_weston headless --backend=headless-backend.so --width=1200 --height=1000
start_game headless
wait_for "the title in the window on Xwayland (headless)" window_shows 67 37 5
class=$(DISPLAY=$xwayland xprop -id "$game_id" WM_CLASS)
[ "$class" = 'WM_CLASS(STRING) = "stackfall", "stackfall"' ] || fail "WM_CLASS on Xwayland: $class"
echo "ok: weston headless: the window on Xwayland shows the title; $class"
stop "$pid"
clean_log "$work/game-headless.err" "the game on weston, headless"
stop_weston

start_xvfb 24 1400x1100
start_weston nested --backend=x11-backend.so --width=1300 --height=1050
start_game nested
wait_for "the title in the window on Xwayland (nested)" window_shows 67 37 5
# Weston gives its keyboard to the window it mapped last, the game's; the
# Xvfb, with no window manager, gives its keys to the window under the
# pointer, weston's output (a click there would start a weston grab and keep
# the keys from the game). Until the title goes, type again: a second x
# passes the instructions too, so either may come next.
output=$(xdotool search --class 'Weston Compositor' 2>/dev/null | head -n 1 || true)
[ -n "$output" ] || fail "no window of weston's output on the Xvfb"
key_taken() {
  if window_shows 67 37 5; then
    xdotool mousemove --window "$output" 100 100
    xdotool key x
    return 1
  fi
  { [ "$(cells at 67 37)" = 0 ] && [ "$(cells count 30 30 117 45 14)" -gt 50 ]; } || [ "$(cells at 8 8)" = 12 ]
}
wait_for "the instructions or the board after keys typed into weston's output" key_taken
echo "ok: weston's X11 backend: a key typed into its output reaches the game on Xwayland"
stop "$pid"
clean_log "$work/game-nested.err" "the game on weston, nested"
stop_weston
