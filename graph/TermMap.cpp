// TermMap: squares sampled in their middles, and the texts kept beside the
// back buffer, each character with the box it was drawn in.
#include "graph/TermMap.h"

#include <algorithm>

namespace Graph::TermMap {
namespace {

// One character as the terminal view shows it.
struct TextChar {
  std::uint32_t left, top, right, bottom;  // its box on the canvas, clipped, inclusive
  std::uint32_t column, row;
  std::uint32_t colour, background;
  bool opaque;
  char ch;
};

// A screen holds at most 69 x 37 characters of 8 x 16 side by side, since
// each new one takes the place of those it covers; this bounds the rest.
constexpr std::size_t kMaxTexts = 4096;

std::vector<TextChar> texts;

// x / 7.5 and y / 15, rounded half up.
std::uint32_t ColumnOf(std::uint32_t x) { return static_cast<std::uint32_t>((std::uint64_t{x} * 4 + 15) / 30); }
std::uint32_t RowOf(std::uint32_t y) { return static_cast<std::uint32_t>((std::uint64_t{y} * 2 + 15) / 30); }

// Squares of one side: the first starts at pixel 1.
std::uint32_t Squares(std::uint32_t pixels) { return pixels < 2 ? 0 : (pixels - 2) / kSquare + 1; }

std::uint32_t Middle(std::uint32_t square, std::uint32_t pixels) {
  return std::min<std::uint32_t>(square * kSquare + 8, pixels - 1);
}

}  // namespace

Grid GridFor(std::uint32_t width, std::uint32_t depth) { return {2 * Squares(width), Squares(depth)}; }

void NoteText(Raster::Canvas c, std::uint32_t x, std::uint32_t y, std::string_view text, std::uint32_t glyphWidth,
              std::uint32_t glyphDepth, std::uint32_t colour, std::uint32_t background, bool opaque) {
  const Grid grid = GridFor(c.width, c.depth);
  if (!c.pixels || glyphWidth == 0 || glyphDepth == 0 || y >= c.depth) return;
  const std::uint32_t row = RowOf(y);
  for (std::size_t k = 0; k < text.size(); ++k) {
    const std::uint64_t left = x + std::uint64_t{glyphWidth} * k;
    if (left >= c.width) break;
    TextChar t{};
    t.left = static_cast<std::uint32_t>(left);
    t.top = y;
    t.right = static_cast<std::uint32_t>(std::min<std::uint64_t>(left + glyphWidth - 1, c.width - 1));
    t.bottom = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{y} + glyphDepth - 1, c.depth - 1));
    Covered(t.left, t.top, t.right, t.bottom);
    t.column = ColumnOf(x) + static_cast<std::uint32_t>(k);
    t.row = row;
    if (t.column >= grid.columns || row >= grid.rows) continue;
    t.colour = colour;
    t.background = background;
    t.opaque = opaque;
    t.ch = text[k];
    if (texts.size() >= kMaxTexts) texts.erase(texts.begin());
    texts.push_back(t);
  }
}

void Covered(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom) {
  std::erase_if(texts, [&](const TextChar& t) {
    return t.left <= right && left <= t.right && t.top <= bottom && top <= t.bottom;
  });
}

void ForgetTexts() { texts.clear(); }

void Map(Raster::Canvas c, std::vector<Platform::TermCell>& cells) {
  const Grid grid = GridFor(c.width, c.depth);
  cells.assign(static_cast<std::size_t>(grid.columns) * grid.rows, Platform::TermCell{});
  if (!c.pixels) return;
  for (std::uint32_t r = 0; r < grid.rows; ++r) {
    const std::uint32_t* line = c.pixels + static_cast<std::size_t>(Middle(r, c.depth)) * c.width;
    for (std::uint32_t k = 0; k < grid.columns / 2; ++k) {
      const std::uint32_t rgb = line[Middle(k, c.width)];
      const std::size_t at = static_cast<std::size_t>(r) * grid.columns + 2 * k;
      cells[at] = cells[at + 1] = {rgb, rgb, ' '};
    }
  }
  for (const TextChar& t : texts) {
    if (t.column >= grid.columns || t.row >= grid.rows) continue;
    Platform::TermCell& cell = cells[static_cast<std::size_t>(t.row) * grid.columns + t.column];
    cell = {t.colour, t.opaque ? t.background : cell.bg, t.ch};
  }
}

}  // namespace Graph::TermMap
