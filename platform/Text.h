// Text for the graphics window: one monospaced DejaVu font (DejaVuSansMono,
// 13 pixels: cells of 8 x 16, like the old system font) rendered with SDL2_ttf
// without anti-aliasing, so that every pixel is ink or not. The game's texts
// are code page 1252 bytes; they become UTF-8 here and nowhere else.
// The browser build, which has no SDL2_ttf, draws the same pixels from a
// table made from this font (platform/GlyphText, platform/web/Text.cpp).
// Used from one thread at a time (Graph's caller).
// Depends on: SDL2_ttf, platform/Cp1252.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Cp1252.h"

namespace Platform {

struct FontMetrics {
  std::uint32_t cellWidth = 0;   // widest character
  std::uint32_t cellHeight = 0;  // full character height, ascent + descent
  std::uint32_t descent = 0;
};

// Opens the font once. False when it cannot be had: a line on stderr, no
// text is drawn, and the metrics are those the font would have given.
bool StartText();

FontMetrics TextMetrics();

// Ink of the text in the font: one byte per pixel, non-zero where the
// character is, `width` x `depth` (depth is the cell height). False, with
// the mask empty, when there is nothing to draw.
bool RenderText(std::string_view cp1252, std::vector<std::uint8_t>& mask, std::uint32_t& width,
                std::uint32_t& depth);

}  // namespace Platform
