#!/usr/bin/env bash
# The committed glyph table is exactly what make_glyphs makes from the font.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$BUILD/platform/make_glyphs" "$out"
cmp "$out/GlyphTable.cpp" "$SOURCE/platform/GlyphTable.cpp"
echo "glyph table: $(grep -c '^    {' "$SOURCE/platform/GlyphTable.cpp") glyphs, as made"
