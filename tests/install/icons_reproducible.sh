#!/usr/bin/env bash
# The committed icons are exactly what make_icons draws, at least 48 and 256
# pixels among them, and they are the pictures they claim to be: square PNGs
# of the size in their name, showing the board's red wall and floor and the
# yellow H falling.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
"$BUILD/dist/make_icons" "$out"
[ "$(cd "$out" && ls)" = "$(cd "$SOURCE/dist/icons" && ls)" ] || fail "sizes made: $(ls "$out")"
for size in 48 256; do [ -f "$out/stackfall-$size.png" ] || fail "no icon of $size pixels"; done
for f in "$out"/*.png; do
  name=$(basename "$f")
  size=${name//[^0-9]/}
  cmp "$f" "$SOURCE/dist/icons/$name" || fail "$name differs from what make_icons draws"
  [ "$(/usr/bin/identify -format '%m %w %h' "$f")" = "PNG $size $size" ] || fail "$name: $(/usr/bin/identify "$f")"
done
# At 48 pixels a cell is 3: column 0 is the wall, row 15 the floor, the H's
# top left cell is at (5, 3) and the cell beside it is the gap in the H.
pixel() { /usr/bin/convert "$out/stackfall-48.png" -format "%[hex:p{$1,$2}]" info:; }
[ "$(pixel 1 10) $(pixel 30 46)" = "FF0000 FF0000" ] || fail "wall and floor: $(pixel 1 10) $(pixel 30 46)"
[ "$(pixel 16 10) $(pixel 19 10)" = "FFFF00 000000" ] || fail "the H: $(pixel 16 10) $(pixel 19 10)"
echo "ok: $(ls "$out" | wc -l) icons, as make_icons draws them"
