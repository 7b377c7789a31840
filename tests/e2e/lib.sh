# Shared by the stackfall end-to-end scripts (sourced): the game and
# screenshots read through shotcells, on top of the common harness.
# Depends on: tests/support/lib.sh. Needs $BUILD (the build folder).

game=${BUILD:?BUILD must name the build folder}/stackfall
shotcells=$BUILD/tests/e2e/shotcells
[ -x "$game" ] || { echo "no $game"; exit 1; }
[ -x "$shotcells" ] || { echo "no $shotcells"; exit 1; }

source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

# Where the picture is on the root window, and at what scale: at scale 1
# with no window manager the drawing area starts at root (1, 1).
# find_picture sets them from the game's window.
picture_x=1 picture_y=1 picture_scale=1

# shot [name]: a screenshot of the picture (555 x 600 at root (1, 1) unless
# find_picture said otherwise) into $work/shot.ppm at scale 1, and a PNG of
# the root as $work/<name>.png when named. At a larger scale every k x k
# block must be one colour, else the shot fails (why: $work/down.err).
shot() {
  if [ "$picture_scale" = 1 ]; then
    /usr/bin/import -window root "$work/root.png" 2>/dev/null || return 1
    /usr/bin/convert "$work/root.png" -crop "555x600+$picture_x+$picture_y" +repage "$work/shot.ppm" || return 1
  else
    /usr/bin/import -window root "$work/root.ppm" 2>/dev/null || return 1
    /usr/bin/convert "$work/root.ppm" -crop "$((555 * picture_scale))x$((600 * picture_scale))+$picture_x+$picture_y" \
      +repage -depth 8 ppm:- | "$shotcells" down "$picture_scale" >"$work/shot.ppm" 2>"$work/down.err" || return 1
    [ -z "${1:-}" ] || /usr/bin/convert "$work/root.ppm" "$work/root.png"
  fi
  [ -z "${1:-}" ] || cp "$work/root.png" "$work/$1.png"
}

# window_geometry: "X Y W H" of the game's window's drawing area on the root.
window_geometry() {
  local id
  id=$(xdotool search --name '^Graph$' 2>/dev/null | tail -n 1)
  [ -n "$id" ] || return 1
  xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { if (w == "") exit 1; print x, y, w, h }'
}
# find_picture: where the window puts the picture, as a player expects it:
# the largest whole scale that fits its drawing area, centred.
find_picture() {
  local x y w h k
  read -r x y w h < <(window_geometry) || return 1
  k=$((w / 555 < h / 600 ? w / 555 : h / 600))
  [ "$k" -ge 1 ] || k=1
  picture_scale=$k
  picture_x=$((x + (w - 555 * k) / 2))
  picture_y=$((y + (h - 600 * k) / 2))
}
cells() { "$shotcells" "$@" <"$work/shot.ppm"; }

# margins_black: the window's drawing area around the picture (where
# find_picture put it) is black, every pixel.
margins_black() {
  local x y w h pw=$((555 * picture_scale)) ph=$((600 * picture_scale)) all inside
  read -r x y w h < <(window_geometry) || return 1
  /usr/bin/import -window root "$work/root.ppm" 2>/dev/null || return 1
  /usr/bin/convert "$work/root.ppm" -crop "${w}x$h+$x+$y" +repage -depth 8 "$work/area.ppm" || return 1
  all=$("$shotcells" count 0 0 $((w - 1)) $((h - 1)) 0 <"$work/area.ppm")
  x=$((picture_x - x)) y=$((picture_y - y))
  inside=$("$shotcells" count "$x" "$y" $((x + pw - 1)) $((y + ph - 1)) 0 <"$work/area.ppm")
  [ $((all - inside)) = $((w * h - pw * ph)) ]
}

# Conditions on a fresh screenshot, for wait_for.
shows_title() { shot && [ "$(cells at 67 37)" = 5 ]; }            # 2002, class b
title_word_gone() { shot && [ "$(cells at 37 142)" = 14 ]; }      # S of STACK under the band
title_word_back() { shot && [ "$(cells at 37 142)" = 10 ]; }
shows_instructions() { shot && [ "$(cells count 30 30 117 45 14)" -gt 50 ] && [ "$(cells at 8 8)" = 0 ]; }
shows_board() { shot && [ "$(cells at 8 8)" = 12 ] && [ "$(cells at 338 473)" = 12 ]; }
piece_is() { shot && [ "$(cells piece "$1")" = "$2" ]; }
piece_in_column() { shot && [[ "$(cells piece "$1")" == "at $2 "* ]]; }
shows_score() { shot && [ "$(cells count 390 50 445 65 3)" -gt 20 ] && [ "$(cells count 450 50 457 65 3)" -gt 10 ]; }
shows_game_over() {
  shot && [ "$(cells at 400 580)" = 2 ] && [ "$(cells count 25 450 128 465 12)" -gt 30 ] &&
    [ "$(cells count 25 495 264 510 15)" -gt 60 ]
}

# waits_for_key: the game $pid blocked for a key, in a futex wait with no
# time-out (the instructions, the game over; play waits with one), five
# samples in a row: a key typed before may be flushed with the picture's.
waits_for_key() {
  local k nr timeout
  for k in 1 2 3 4 5; do
    read -r nr _ _ _ timeout _ <"/proc/$pid/syscall" 2>/dev/null || return 1
    [ "$nr" = 202 ] && [ "$timeout" = 0x0 ] || return 1
    sleep 0.02
  done
}

# Keys into the window the game draws in: focused, then typed at the focus.
# Not `key` chained after the search: xdotool then sends each event to that
# window, by the server (XTest) while it has the focus and by XSendEvent once
# it has not, so a key that makes the game hide its window (n at the game
# over) had its release sent to the hidden window and stayed down in the
# server, which then dropped the next press of that key.
# Errors are not checked: the window may go as the last key arrives, and
# what a key does is always waited for afterwards.
type_in_window() {
  xdotool search --name "^Graph$" windowfocus --sync >/dev/null 2>&1 || true
  xdotool key "$@" >/dev/null 2>&1 || true
}

# start_tmux <columns> <rows> <command>: the private tmux server (`tm`,
# killed on the way out) with one pane running the command; sets pane_pid.
start_tmux() {
  command -v tmux >/dev/null || fail "tmux is missing"
  tm new-session -d -x "$1" -y "$2" "$3"
  pane_pid=$(tm display-message -p '#{pane_pid}')
}
