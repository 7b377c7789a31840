// TermMap: squares sampled in their middles, the text layer's characters
// over them.
#include "graph/TermMap.h"

#include "graph/TextLayer.h"

#include <algorithm>

namespace Graph::TermMap {
namespace {

// x / (square / 2) and y / square, rounded half up.
std::uint32_t ColumnOf(std::uint32_t x, std::uint32_t square) {
  return static_cast<std::uint32_t>((std::uint64_t{x} * 4 + square) / (2 * std::uint64_t{square}));
}
std::uint32_t RowOf(std::uint32_t y, std::uint32_t square) {
  return static_cast<std::uint32_t>((std::uint64_t{y} * 2 + square) / (2 * std::uint64_t{square}));
}

// Squares of one side whose first pixel lies in `pixels`.
std::uint32_t Squares(std::uint32_t pixels, const Picture::Facts& f) {
  return f.square == 0 || pixels <= f.origin ? 0 : (pixels - 1 - f.origin) / f.square + 1;
}

std::uint32_t Middle(std::uint32_t square, std::uint32_t pixels, const Picture::Facts& f) {
  return static_cast<std::uint32_t>(
      std::min<std::uint64_t>(f.origin + std::uint64_t{square} * f.square + f.square / 2, pixels - 1));
}

}  // namespace

Grid GridFor(const Picture::Facts& facts) { return {2 * Squares(facts.width, facts), Squares(facts.depth, facts)}; }

void Map(Raster::Canvas c, const Picture::Facts& facts, std::vector<Platform::TermCell>& cells) {
  Picture::Facts f = facts;
  f.width = c.width;
  f.depth = c.depth;
  const Grid grid = GridFor(f);
  cells.assign(static_cast<std::size_t>(grid.columns) * grid.rows, Platform::TermCell{});
  if (!c.pixels || grid.rows == 0) return;
  for (std::uint32_t r = 0; r < grid.rows; ++r) {
    const std::uint32_t* line = c.pixels + static_cast<std::size_t>(Middle(r, c.depth, f)) * c.width;
    for (std::uint32_t k = 0; k < grid.columns / 2; ++k) {
      const std::uint32_t rgb = line[Middle(k, c.width, f)];
      const std::size_t at = static_cast<std::size_t>(r) * grid.columns + 2 * k;
      cells[at] = cells[at + 1] = {rgb, rgb, ' '};
    }
  }
  for (const TextLayer::Char& t : TextLayer::Chars()) {
    const std::uint32_t column = ColumnOf(t.x, f.square) + t.index, row = RowOf(t.y, f.square);
    if (column >= grid.columns || row >= grid.rows) continue;
    Platform::TermCell& cell = cells[static_cast<std::size_t>(row) * grid.columns + column];
    cell = {t.colour, t.opaque ? t.background : cell.bg, t.ch};
  }
}

}  // namespace Graph::TermMap
