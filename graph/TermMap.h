// TermMap: the picture as the cells of the terminal view. The picture is a
// mosaic of squares (the game's Facts say their size and where they start),
// each shown in the colour sampled in its middle, in one of two ways:
// - full: one square two columns by one row (square-looking in a terminal
//   font); the texts of the text layer at column x / (square / 2) and row
//   y / square, rounded, in their colours over the blocks;
// - compact: one square one column by half a row, two squares stacked in a
//   cell as the upper half block; the texts at column x / square and row
//   y / (2 square), rounded, reaching past the picture's right edge where
//   they must. Texts are closer together than that in places: each keeps
//   below every earlier (higher) text it would share a cell with, so none
//   overwrites another and their top-to-bottom order stays; a text that
//   goes on the same line after another in the picture goes after it here
//   too. A text pushed below the picture is not shown.
// With the surface lock held, like the picture.
// Depends on: graph/Picture (the facts), graph/TextLayer, graph/Raster,
// platform/TermPaint (the cell).
#pragma once

#include "graph/Picture.h"
#include "graph/Raster.h"
#include "platform/TermPaint.h"

#include <cstdint>
#include <vector>

namespace Graph::TermMap {

struct Grid {
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;
};

// The cells a picture needs: two columns and one row a square, for every
// square whose first pixel lies in the picture. None without a mosaic.
Grid GridFor(const Picture::Facts& facts);

// The cells of the canvas, row by row, GridFor of them.
void Map(Raster::Canvas c, const Picture::Facts& facts, std::vector<Platform::TermCell>& cells);

// The compact cells: one column a square across, half a row a square down
// (rounded up). A compact grid may be wider, for the texts: `columns`.
Grid CompactGridFor(const Picture::Facts& facts, std::uint32_t columns = 0);

// The canvas as CompactGridFor(facts, columns) cells, row by row; cells
// right of the picture are black but for texts.
void MapCompact(Raster::Canvas c, const Picture::Facts& facts, std::uint32_t columns,
                std::vector<Platform::TermCell>& cells);

}  // namespace Graph::TermMap
