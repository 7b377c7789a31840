// Text on SDL2_ttf: the font, its metrics, rendering to an ink mask.
#include "platform/Text.h"

#include <SDL2/SDL_ttf.h>

#include <cstdio>

namespace Platform {
namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kFontPixels = 13;
// What DejaVuSansMono at 13 pixels measures; used when the font is missing
// so that the text grid stays the same.
constexpr FontMetrics kFallbackMetrics{8, 16, 3};

bool started = false;
TTF_Font* font = nullptr;
FontMetrics metrics = kFallbackMetrics;

}  // namespace

bool StartText() {
  if (started) return font != nullptr;
  started = true;
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "Graph: no text: %s\n", TTF_GetError());
    return false;
  }
  font = TTF_OpenFont(kFontFile, kFontPixels);
  if (!font) {
    std::fprintf(stderr, "Graph: no text: %s\n", TTF_GetError());
    return false;
  }
  // Mono hinting puts the stems on whole pixels for the unsmoothed render.
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  metrics.cellHeight = static_cast<std::uint32_t>(TTF_FontHeight(font));
  metrics.descent = static_cast<std::uint32_t>(-TTF_FontDescent(font));
  std::uint32_t widest = 0;
  for (std::uint32_t ch = 0x20; ch <= 0xFF; ++ch) {
    const std::uint32_t code = Cp1252ToUnicode(static_cast<unsigned char>(ch));
    int minx, maxx, miny, maxy, advance;
    if (TTF_GlyphIsProvided32(font, code) &&
        TTF_GlyphMetrics32(font, code, &minx, &maxx, &miny, &maxy, &advance) == 0 &&
        advance > 0 && static_cast<std::uint32_t>(advance) > widest)
      widest = static_cast<std::uint32_t>(advance);
  }
  if (widest) metrics.cellWidth = widest;
  return true;
}

FontMetrics TextMetrics() { return metrics; }

bool RenderText(std::string_view cp1252, std::vector<std::uint8_t>& mask, std::uint32_t& width,
                std::uint32_t& depth) {
  mask.clear();
  width = depth = 0;
  if (!font || cp1252.empty()) return false;
  std::string utf8 = Cp1252ToUtf8(cp1252);
  SDL_Surface* s = TTF_RenderUTF8_Solid(font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
  if (!s) return false;
  // Solid rendering gives an 8-bit surface: index 0 background, else ink.
  width = static_cast<std::uint32_t>(s->w);
  depth = static_cast<std::uint32_t>(s->h);
  mask.resize(static_cast<std::size_t>(width) * depth);
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  const auto* src = static_cast<const std::uint8_t*>(s->pixels);
  for (std::uint32_t y = 0; y < depth; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      mask[static_cast<std::size_t>(y) * width + x] = src[static_cast<std::size_t>(y) * s->pitch + x] != 0;
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return width != 0 && depth != 0;
}

}  // namespace Platform
