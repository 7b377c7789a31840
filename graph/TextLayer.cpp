// TextLayer: the characters kept, each with its box.
#include "graph/TextLayer.h"

#include <algorithm>

namespace Graph::TextLayer {
namespace {

bool kept = false;
std::vector<Char> chars;

}  // namespace

void Keep(bool on) {
  kept = on;
  chars.clear();
}

void Note(Raster::Canvas c, std::uint32_t x, std::uint32_t y, std::string_view text, std::uint32_t glyphWidth,
          std::uint32_t glyphDepth, std::uint32_t colour, std::uint32_t background, bool opaque) {
  if (!kept || !c.pixels || glyphWidth == 0 || glyphDepth == 0 || y >= c.depth) return;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const std::uint64_t left = x + std::uint64_t{glyphWidth} * k;
    if (left >= c.width) break;
    Char t{};
    t.left = static_cast<std::uint32_t>(left);
    t.top = y;
    t.right = static_cast<std::uint32_t>(std::min<std::uint64_t>(left + glyphWidth - 1, c.width - 1));
    t.bottom = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{y} + glyphDepth - 1, c.depth - 1));
    Covered(t.left, t.top, t.right, t.bottom);
    t.x = x;
    t.y = y;
    t.index = static_cast<std::uint32_t>(k);
    t.colour = colour;
    t.background = background;
    t.opaque = opaque;
    t.ch = text[k];
    if (chars.size() >= kMaxChars) chars.erase(chars.begin());
    chars.push_back(t);
  }
}

void Covered(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom) {
  if (!kept) return;
  std::erase_if(chars, [&](const Char& t) {
    return t.left <= right && left <= t.right && t.top <= bottom && top <= t.bottom;
  });
}

void Forget() { chars.clear(); }

const std::vector<Char>& Chars() { return chars; }

}  // namespace Graph::TextLayer
