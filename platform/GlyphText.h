// GlyphText: the window's text drawn from a table of glyphs instead of the
// font, for a build that has no SDL2_ttf (the browser). The table is made
// beforehand by make_glyphs from what platform/Text renders, one character
// at a time, and a string is drawn as that renderer draws it: each glyph's
// ink at its pen position (the advances added up), inks that overlap
// joined, the width that of the widest reach of any glyph. The proof that
// this gives every pixel of the font's own rendering, pairs and the game's
// texts included, is tests/platform/GlyphTextTest.cpp.
// Depends on: platform/Text (FontMetrics).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace Platform::GlyphText {

constexpr std::uint32_t kMaxDepth = 16;  // rows a glyph may have
constexpr std::uint32_t kMaxWidth = 16;  // columns, one bit each in a row

// One character as the font draws it alone: its pen advance and the ink of
// its own rendering, `width` columns by the table's depth, bit x of a row
// for column x.
struct Glyph {
  std::uint8_t advance = 0;
  std::uint8_t width = 0;
  std::uint16_t rows[kMaxDepth] = {};
};

// Glyphs for the bytes 01H..FFH (a text ends at its NUL, so 00H is never
// drawn), with the font's metrics.
struct Table {
  FontMetrics metrics;
  std::uint32_t depth = 0;  // rows of every rendering: the font's height
  Glyph glyphs[256];
};

// The table made by make_glyphs (GlyphTable.cpp, generated).
extern const Table kTable;

// What RenderText gives for `cp1252` with `table`: one byte per pixel,
// non-zero where there is ink, width x depth. False, with the mask empty,
// for an empty text or an empty table.
bool Render(const Table& table, std::string_view cp1252, std::vector<std::uint8_t>& mask, std::uint32_t& width,
            std::uint32_t& depth);

}  // namespace Platform::GlyphText
