// TermMap: the picture as the cells of the terminal view. The picture is a
// mosaic of squares (the game's Facts say their size and where they start);
// one square becomes two columns by one row (square-looking in a terminal
// font), its colour sampled in its middle. The texts of the text layer show
// as text at column x / (square / 2) and row y / square, rounded, in their
// colours over the blocks. With the surface lock held, like the picture.
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

}  // namespace Graph::TermMap
