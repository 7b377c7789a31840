// Text in the browser: the window's font as the glyph table holds it (made
// from the font by make_glyphs), so that every text pixel is the window's.
#include "platform/Text.h"

#include "platform/GlyphText.h"

namespace Platform {

bool StartText() { return true; }  // the table is part of the program

FontMetrics TextMetrics() { return GlyphText::kTable.metrics; }

bool RenderText(std::string_view cp1252, std::vector<std::uint8_t>& mask, std::uint32_t& width,
                std::uint32_t& depth) {
  return GlyphText::Render(GlyphText::kTable, cp1252, mask, width, depth);
}

}  // namespace Platform
