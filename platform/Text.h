// Text for the graphics window: one monospaced DejaVu font (DejaVuSansMono,
// 13 pixels: cells of 8 x 16, like the old system font) rendered with SDL2_ttf
// without anti-aliasing, so that every pixel is ink or not. The game's texts
// are code page 1252 bytes; they become UTF-8 here and nowhere else.
// Used from one thread at a time (Graph's caller).
// Depends on: SDL2_ttf.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Code page 1252 to UTF-8. The five bytes the code page leaves undefined map
// to the control characters of the same number, as Windows maps them.
std::string Cp1252ToUtf8(std::string_view text);

// One code page 1252 character as Unicode, mapped the same way.
char32_t Cp1252ToUnicode(unsigned char c);

}  // namespace Platform
