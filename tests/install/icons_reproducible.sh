#!/usr/bin/env bash
# The committed icons are exactly what make_icons draws, at least 48 and 256
# pixels among them, and they are the pictures they claim to be: square PNGs
# of the size in their name, showing the board's red wall and floor and the
# yellow H falling. So is the window's icon, the source beside them: the
# 64-pixel PNG's pixels.
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
cmp "$out/stackfall-icon.inc" "$SOURCE/dist/icons/stackfall-icon.inc" || fail "stackfall-icon.inc differs from what make_icons writes"
# Its rows, one hex digit a pixel, read back as the 64-pixel PNG's colours.
from_source=$(grep -o '"[0-9A-F]\{64\}"' "$out/stackfall-icon.inc" | tr -d '"' | fold -w1 |
  awk 'NR == FNR { for (k = 1; k <= NF; k++) palette[n++] = $k; next } { printf "%s\n", palette[index("0123456789ABCDEF", $1) - 1] }' \
    <(grep -o '0x[0-9A-F]\{6\}' "$out/stackfall-icon.inc" | tr '\n' ' ') - | md5sum)
from_png=$(/usr/bin/convert "$out/stackfall-64.png" -depth 8 rgb:- | od -An -v -tx1 -w3 | tr -d ' ' |
  awk '{ printf "0x%s\n", toupper($1) }' | md5sum)
[ "$from_source" = "$from_png" ] || fail "stackfall-icon.inc does not hold the pixels of stackfall-64.png"
echo "ok: $(ls "$out"/*.png | wc -l) icons and the window's icon source, as make_icons draws them"
