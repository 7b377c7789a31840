// TermMap: the back buffer as the cells of the terminal view. The drawing
// is a mosaic of 15-pixel squares, square k covering pixels 15k+1 to 15k+15
// each way; one square becomes two columns by one row (square-looking in a
// terminal font), its colour sampled in its middle. Texts drawn with
// RawOutText are kept as text and shown at column x / 7.5 and row y / 15,
// rounded, in their colours over the blocks, until a drawing reaches a
// character's box: a character painted over goes, whatever the colours.
// All of it with the surface lock held, like the back buffer itself.
// Depends on: graph/Raster (the canvas), platform/TermPaint (the cell).
#pragma once

#include "graph/Raster.h"
#include "platform/TermPaint.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace Graph::TermMap {

constexpr std::uint32_t kSquare = 15;

struct Grid {
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;
};

// The cells a surface needs: 74 x 40 for the game's 555 x 600.
Grid GridFor(std::uint32_t width, std::uint32_t depth);

// Right after a text was drawn on the canvas with its top-left corner at
// (x, y), each character in a box of glyphWidth x glyphDepth pixels: keeps
// its characters, in place of any they cover. `background` counts when
// opaque; transparent text shows on the square's colour.
void NoteText(Raster::Canvas c, std::uint32_t x, std::uint32_t y, std::string_view text, std::uint32_t glyphWidth,
              std::uint32_t glyphDepth, std::uint32_t colour, std::uint32_t background, bool opaque);

// Something was drawn on left..right, top..bottom (inclusive): the
// characters whose boxes it reaches go.
void Covered(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom);

// Forgets every text: a new back buffer.
void ForgetTexts();

// The cells of the canvas, row by row, GridFor(width, depth) of them.
void Map(Raster::Canvas c, std::vector<Platform::TermCell>& cells);

}  // namespace Graph::TermMap
