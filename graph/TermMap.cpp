// TermMap: squares sampled in their middles, the text layer's characters
// over them.
#include "graph/TermMap.h"

#include "graph/TextLayer.h"

#include <algorithm>
#include <cstddef>

namespace Graph::TermMap {
namespace {

// v / unit, rounded half up.
std::uint32_t Nearest(std::uint32_t v, std::uint32_t unit) {
  return static_cast<std::uint32_t>((std::uint64_t{v} * 2 + unit) / (2 * std::uint64_t{unit}));
}
// x / (square / 2), rounded half up: two columns a square.
std::uint32_t ColumnOf(std::uint32_t x, std::uint32_t square) {
  return static_cast<std::uint32_t>((std::uint64_t{x} * 4 + square) / (2 * std::uint64_t{square}));
}

// Squares of one side whose first pixel lies in `pixels`.
std::uint32_t Squares(std::uint32_t pixels, const Picture::Facts& f) {
  return f.square == 0 || pixels <= f.origin ? 0 : (pixels - 1 - f.origin) / f.square + 1;
}

std::uint32_t Middle(std::uint32_t square, std::uint32_t pixels, const Picture::Facts& f) {
  return static_cast<std::uint32_t>(
      std::min<std::uint64_t>(f.origin + std::uint64_t{square} * f.square + f.square / 2, pixels - 1));
}

// ---------------------------------------------------------------- compact texts

// One text as the layer keeps it: the characters drawn together at (x, y).
struct Text {
  std::uint32_t x, y;
  std::uint32_t pixelEnd;     // one past the right edge of its last character
  std::uint32_t glyphWidth;
  std::uint32_t first, last;  // the lowest and highest index left of it
  std::vector<const TextLayer::Char*> chars;
  // Where it is shown.
  std::uint32_t row = 0, column = 0;
  bool shown = false;
};

std::vector<Text> Texts() {
  std::vector<Text> texts;
  for (const TextLayer::Char& c : TextLayer::Chars()) {
    auto it = std::find_if(texts.begin(), texts.end(), [&](const Text& t) { return t.x == c.x && t.y == c.y; });
    if (it == texts.end()) {
      texts.push_back({c.x, c.y, c.right + 1, c.right - c.left + 1, c.index, c.index, {}});
      it = texts.end() - 1;
    }
    it->pixelEnd = std::max(it->pixelEnd, c.right + 1);
    it->first = std::min(it->first, c.index);
    it->last = std::max(it->last, c.index);
    it->chars.push_back(&c);
  }
  std::stable_sort(texts.begin(), texts.end(), [](const Text& a, const Text& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return texts;
}

bool Overlap(const Text& a, const Text& b) {
  return a.column + a.first <= b.column + b.last && b.column + b.first <= a.column + a.last;
}

// Rows and columns for every text, top to bottom.
void Place(std::vector<Text>& texts, std::uint32_t square, const Grid& grid) {
  for (std::size_t k = 0; k < texts.size(); ++k) {
    Text& t = texts[k];
    t.column = Nearest(t.x, square);
    t.row = Nearest(t.y, 2 * square);
    // After the text it follows on its line, if it follows one.
    const Text* before = nullptr;
    for (std::size_t j = 0; j < k; ++j) {
      const Text& o = texts[j];
      if (o.shown && o.y == t.y && o.pixelEnd <= t.x && (!before || o.pixelEnd > before->pixelEnd)) before = &o;
    }
    if (before) {
      const std::uint32_t gap = t.x - before->pixelEnd > t.glyphWidth / 2 ? 1 : 0;
      t.column = std::max(t.column, before->column + before->last + 1 + gap);
      t.row = std::max(t.row, before->row);
    }
    for (std::size_t j = 0; j < k; ++j)
      if (texts[j].shown && Overlap(texts[j], t)) t.row = std::max(t.row, texts[j].row + 1);
    t.shown = t.row < grid.rows && t.column + t.first < grid.columns;
  }
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
    const std::uint32_t column = ColumnOf(t.x, f.square) + t.index, row = Nearest(t.y, f.square);
    if (column >= grid.columns || row >= grid.rows) continue;
    Platform::TermCell& cell = cells[static_cast<std::size_t>(row) * grid.columns + column];
    cell = {t.colour, t.opaque ? t.background : cell.bg, t.ch};
  }
}

Grid CompactGridFor(const Picture::Facts& facts, std::uint32_t columns) {
  return {std::max(Squares(facts.width, facts), columns), (Squares(facts.depth, facts) + 1) / 2};
}

void MapCompact(Raster::Canvas c, const Picture::Facts& facts, std::uint32_t columns,
                std::vector<Platform::TermCell>& cells) {
  Picture::Facts f = facts;
  f.width = c.width;
  f.depth = c.depth;
  const Grid grid = CompactGridFor(f, columns);
  cells.assign(static_cast<std::size_t>(grid.columns) * grid.rows, Platform::TermCell{});
  if (!c.pixels || grid.rows == 0) return;
  const std::uint32_t across = Squares(c.width, f), down = Squares(c.depth, f);
  for (std::uint32_t r = 0; r < grid.rows; ++r) {
    const std::uint32_t* upper = c.pixels + static_cast<std::size_t>(Middle(2 * r, c.depth, f)) * c.width;
    const std::uint32_t* lower =
        2 * r + 1 < down ? c.pixels + static_cast<std::size_t>(Middle(2 * r + 1, c.depth, f)) * c.width : nullptr;
    for (std::uint32_t k = 0; k < across; ++k) {
      const std::uint32_t top = upper[Middle(k, c.width, f)];
      const std::uint32_t bottom = lower ? lower[Middle(k, c.width, f)] : 0;
      cells[static_cast<std::size_t>(r) * grid.columns + k] = {top, bottom, ' ', true};
    }
  }
  std::vector<Text> texts = Texts();
  Place(texts, f.square, grid);
  for (const Text& t : texts) {
    if (!t.shown) continue;
    for (const TextLayer::Char* ch : t.chars) {
      const std::uint32_t column = t.column + ch->index;
      if (column >= grid.columns) continue;
      Platform::TermCell& cell = cells[static_cast<std::size_t>(t.row) * grid.columns + column];
      // A transparent text shows on the upper square, the one its top is in.
      cell = {ch->colour, ch->opaque ? ch->background : cell.fg, ch->ch, false};
    }
  }
}

}  // namespace Graph::TermMap
