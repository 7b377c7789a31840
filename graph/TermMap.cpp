// TermMap: squares sampled in their middles, and the texts kept beside the
// back buffer with a fingerprint of the pixels each character drew.
#include "graph/TermMap.h"

#include <algorithm>

namespace Graph::TermMap {
namespace {

// One character as the terminal view shows it.
struct TextChar {
  std::uint32_t left, top, right, bottom;  // its box on the canvas, clipped, inclusive
  std::uint64_t print;                     // fingerprint of the box's pixels as drawn
  std::uint32_t column, row;
  std::uint32_t colour, background;
  bool opaque;
  char ch;
};

// The game keeps a few hundred characters on the screen; a program that
// draws text in the same places again and again is held to this many.
constexpr std::size_t kMaxTexts = 4096;

std::vector<TextChar> texts;

// FNV-1a over the box's pixels.
std::uint64_t Print(Raster::Canvas c, const TextChar& t) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::uint32_t y = t.top; y <= t.bottom; ++y) {
    const std::uint32_t* row = c.pixels + static_cast<std::size_t>(y) * c.width;
    for (std::uint32_t x = t.left; x <= t.right; ++x) {
      h ^= row[x];
      h *= 0x100000001B3ull;
    }
  }
  return h;
}

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
    const std::uint32_t column = ColumnOf(x) + static_cast<std::uint32_t>(k);
    if (left >= c.width || column >= grid.columns || row >= grid.rows) break;
    TextChar t{};
    t.left = static_cast<std::uint32_t>(left);
    t.top = y;
    t.right = static_cast<std::uint32_t>(std::min<std::uint64_t>(left + glyphWidth - 1, c.width - 1));
    t.bottom = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{y} + glyphDepth - 1, c.depth - 1));
    t.print = Print(c, t);
    t.column = column;
    t.row = row;
    t.colour = colour;
    t.background = background;
    t.opaque = opaque;
    t.ch = text[k];
    // The same box drawn again: the new character is the one to show.
    std::erase_if(texts, [&](const TextChar& old) { return old.left == t.left && old.top == t.top; });
    if (texts.size() >= kMaxTexts) texts.erase(texts.begin());
    texts.push_back(t);
  }
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
      Platform::TermCell& left = cells[static_cast<std::size_t>(r) * grid.columns + 2 * k];
      left = {rgb, rgb, ' '};
      (&left)[1] = left;
    }
  }
  // In the order drawn: where two texts meet in one cell, the later shows.
  std::erase_if(texts, [&](const TextChar& t) { return t.right >= c.width || t.bottom >= c.depth || Print(c, t) != t.print; });
  for (const TextChar& t : texts) {
    if (t.column >= grid.columns || t.row >= grid.rows) continue;
    Platform::TermCell& cell = cells[static_cast<std::size_t>(t.row) * grid.columns + t.column];
    cell = {t.colour, t.opaque ? t.background : cell.bg, t.ch};
  }
}

}  // namespace Graph::TermMap
