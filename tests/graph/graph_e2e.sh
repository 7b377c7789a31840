#!/usr/bin/env bash
# End to end: graphdemo with no display, with a window the window system
# refuses, and in a real window under Xvfb: its place and size, the keys
# typed into it, the screen against its back buffer, and the picture coming
# back after the window is unmapped and mapped again.
set -euo pipefail
demo=$BUILD/tests/graph/graphdemo
source "$(dirname "$0")/../support/lib.sh"
logs=("$work/demo.out" "$work/demo.err")

# ---------------------------------------------------------------- no display: Init answers FALSE, no box, no hang
out=$(env -u DISPLAY -u SDL_VIDEODRIVER timeout 30 "$demo" 2>&1) || fail "no display: status $?"
[[ $out == *"Init FALSE"* ]] || fail "no display: $out"
echo "ok: no display gives Init FALSE"

# ---------------------------------------------------------------- a window the window system refuses: message and status 9
status=0
env -u DISPLAY SDL_VIDEODRIVER=offscreen timeout 30 "$demo" --size 20000 20000 >"$work/big.out" 2>&1 || status=$?
[ "$status" -eq 9 ] || fail "refused window: status $status"
grep -qx "Couldn't create main window" "$work/big.out" || fail "refused window: $(cat "$work/big.out")"
echo "ok: refused window ends with status 9"

# ---------------------------------------------------------------- a real window under Xvfb
start_xvfb

"$demo" --restart --dump "$work/dump.ppm" >"$work/demo.out" 2>"$work/demo.err" &
pids+=($!)
wait_for "the demo's window" grep -qs '^ready' "$work/demo.out"
grep -q '^ready 555x600 columns 69 rows 37' "$work/demo.out" || fail "demo: $(cat "$work/demo.out")"

info=$(xwininfo -name Graph)
for want in "Absolute upper-left X:  1" "Absolute upper-left Y:  1" "Width: 555" "Height: 600"; do
  grep -qF "$want" <<<"$info" || fail "xwininfo: no '$want' in: $info"
done
[ "$(xdotool search --name '^Graph$' | wc -l)" -eq 1 ] || fail "the window of the first Init is still there"
echo "ok: one window at (1, 1), 555 x 600"

# The screen shows exactly the back buffer.
/usr/bin/convert "$work/dump.ppm" -depth 8 "rgb:$work/dump.rgb"
shot_matches() {
  /usr/bin/import -window root "$work/root.png" 2>/dev/null || return 1
  /usr/bin/convert "$work/root.png" -crop 555x600+1+1 +repage -depth 8 "rgb:$work/shot.rgb"
  cmp -s "$work/shot.rgb" "$work/dump.rgb"
}
wait_for "the screen to show the back buffer" shot_matches
echo "ok: screenshot equals the back buffer"

# Keys typed into the window arrive as console key records.
type_keys() { xdotool search --name '^Graph$' windowfocus --sync "$@"; }
downs() { grep 'down=1' "$work/demo.out" | sed 's/^key down=1 //; s/ vk=0 ch=0 repeat=1$//'; }
has_lines() { [ "$(downs | wc -l)" -ge "$1" ]; }

type_keys key q
wait_for "q" has_lines 1
grep -qx 'key down=0 scan=10 state=0000 vk=0 ch=0 repeat=1' "$work/demo.out" || fail "no key-up record of q"
type_keys key 1 2 3 4 5 6 7 8 9 0
wait_for "the digit row" has_lines 11
type_keys key KP_Left Left
wait_for "the two Left keys" has_lines 13
type_keys keydown Shift_R key a keyup Shift_R key b
has_b() { downs | grep -q 'scan=30'; }
wait_for "Shift and the letters" has_b

expected="scan=10 state=0000
scan=02 state=0000
scan=03 state=0000
scan=04 state=0000
scan=05 state=0000
scan=06 state=0000
scan=07 state=0000
scan=08 state=0000
scan=09 state=0000
scan=0A state=0000
scan=0B state=0000
scan=4B state=0000
scan=4B state=0000"
[ "$(downs | head -n 13)" = "$expected" ] || fail "key records: $(downs)"
# xdotool presses Shift_L along with Shift_R: the Shift presses come first,
# the first of them without the Shift bit, then the letters.
rest=$(downs | tail -n +14)
shifts=$(grep -E 'scan=(2A|36)' <<<"$rest" || true)
grep -q 'scan=36' <<<"$shifts" || fail "no record of the right Shift: $rest"
[ "$(head -n1 <<<"$shifts")" = "$(head -n1 <<<"$shifts" | cut -d' ' -f1) state=0000" ] ||
  fail "the first Shift press carries the Shift bit: $rest"
[ "$(grep -vE 'scan=(2A|36)' <<<"$rest")" = "scan=1E state=0010
scan=30 state=0000" ] || fail "Shift bit: $rest"
echo "ok: window keys arrive as records (q 10H, digits 02H-0BH, Left 4BH twice, Shift on the letter only)"

# Shift held through a switch to another window: SDL lets it go as the focus
# leaves and makes up a press as it comes back; that press is none, so the
# a typed then has no Shift bit.
since=$(wc -l <"$work/demo.out")
new_records() { tail -n +$((since + 1)) "$work/demo.out"; }
has_record() { new_records | grep -q "$1"; }
type_keys keydown Shift_L
wait_for "the Shift press" has_record 'down=1 scan=2A'
since=$(wc -l <"$work/demo.out")
xdotool windowfocus --sync "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')"
wait_for "Shift let go as the focus leaves" has_record 'down=0 scan=2A'
type_keys key a
wait_for "the a" has_record 'down=1 scan=1E'
xdotool keyup Shift_L
[ "$(new_records | grep 'down=1')" = "key down=1 scan=1E state=0000 vk=0 ch=0 repeat=1" ] ||
  fail "Shift held through a window switch: $(new_records)"
echo "ok: Shift held through a window switch: no made-up press, a without the Shift bit"

# Unmapped, the picture is gone from the screen; mapped, it is back.
wid=$(xdotool search --name '^Graph$')
xdotool windowunmap --sync "$wid"
shot_differs() { ! shot_matches; }
wait_for "the window to leave the screen" shot_differs
xdotool windowmap --sync "$wid"
wait_for "the picture to come back" shot_matches
echo "ok: the picture comes back after unmap and map"

# ---------------------------------------------------------------- window keys read as the game reads them: through the key reader
"$demo" --console </dev/null >"$work/read.out" 2>"$work/read.err" &
reader=$!
pids+=($reader)
wait_for "the reading demo's window" grep -qs '^ready' "$work/read.out"
window_of_reader() { window=$(xdotool search --all --pid "$reader" --name '^Graph$' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for "the reading demo's window id" window_of_reader
xdotool windowfocus --sync "$window"
xdotool key 4 KP_Left Left shift+a F1 q
wait_for "q through the key reader" grep -qs "^char 71H 'q'" "$work/read.out"
status=0
wait "$reader" || status=$?
[ "$status" -eq 0 ] || fail "the reading demo ended with status $status: $(cat "$work/read.out" "$work/read.err")"
read_keys=$(grep -v '^ready' "$work/read.out")
[ "$read_keys" = "char 34H '4' scan 05H
ext 4BH
ext 4BH
char 41H 'A' scan 1EH
ext 3BH
char 71H 'q' scan 10H" ] || fail "keys read: $read_keys"
echo "ok: window keys read through the key reader: 4, both Left keys as 4BH, Shift+A, F1, q as ('q', 10H)"
