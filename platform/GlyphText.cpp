// GlyphText: a string drawn from the glyph table.
#include "platform/GlyphText.h"

#include <algorithm>

namespace Platform::GlyphText {

bool Render(const Table& table, std::string_view cp1252, std::vector<std::uint8_t>& mask, std::uint32_t& width,
            std::uint32_t& depth) {
  mask.clear();
  width = depth = 0;
  if (cp1252.empty() || table.depth == 0) return false;
  // The font's renderer makes its surface as wide as the furthest any glyph
  // reaches from its pen position (a soft hyphen, with no advance and no
  // ink, still reaches one column: its width in the table).
  std::uint32_t pen = 0, reach = 0;
  for (unsigned char c : cp1252) {
    reach = std::max(reach, pen + table.glyphs[c].width);
    pen += table.glyphs[c].advance;
  }
  if (reach == 0) return false;
  width = reach;
  depth = std::min(table.depth, kMaxDepth);
  mask.assign(static_cast<std::size_t>(width) * depth, 0);
  pen = 0;
  for (unsigned char c : cp1252) {
    const Glyph& g = table.glyphs[c];
    for (std::uint32_t y = 0; y < depth; ++y)
      for (std::uint32_t x = 0; x < g.width; ++x)
        if (g.rows[y] >> x & 1u) mask[static_cast<std::size_t>(y) * width + pen + x] = 1;
    pen += g.advance;
  }
  return true;
}

}  // namespace Platform::GlyphText
