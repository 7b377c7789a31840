// Raster: the drawing itself, on a plain array of 0x00RRGGBB pixels. No
// window, no locks, no state: Graph decides what to draw and holds the
// surface lock; everything here clips to the canvas and never writes
// outside it, whatever the coordinates.
// Depends on: nothing but the C++ library.
#pragma once

#include <cstdint>

namespace Graph::Raster {

struct Canvas {
  std::uint32_t* pixels = nullptr;  // row-major, `width` pixels a row
  std::uint32_t width = 0;
  std::uint32_t depth = 0;
};

// A fill: solid, or an 8 x 8 pattern repeating from the canvas origin whose
// set bits (row byte i is pattern row i, bit 7 the leftmost pixel) take
// `colour` and whose clear bits take `background` when opaque and are left
// alone when not.
struct Brush {
  bool solid = true;
  std::uint8_t rows[8] = {};
  std::uint32_t colour = 0;
  std::uint32_t background = 0;
  bool opaque = true;
};

// The six hatches 0..5: horizontal, vertical, falling diagonal (top-left to
// bottom-right), rising diagonal, cross, diagonal cross.
extern const std::uint8_t kHatch[6][8];

// Line styles of outlines.
enum LineStyle : std::uint32_t { Solid = 0, Dotted = 1, Dashed = 2, DashDot = 3, DashDotDot = 4, NoLine = 5 };

void Plot(Canvas c, std::uint32_t x, std::uint32_t y, std::uint32_t colour);

// Fills left..right, top..bottom, all inclusive (left <= right, top <= bottom).
void Fill(Canvas c, std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
          const Brush& brush);

// One-pixel outline of left..right, top..bottom inclusive, walked clockwise
// from the top-left corner with the style's dash pattern; the gaps take
// `background` when opaque. A style above 5 draws solid.
void Outline(Canvas c, std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
             std::uint32_t colour, std::uint32_t style, std::uint32_t background, bool opaque);

// Inverts every colour bit of left..right-1, top..bottom-1 (right and bottom
// exclusive; 64-bit so that a block left of or above the origin clips).
void Invert(Canvas c, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

// Paints a mask of `mw` x `mh` bytes with its top-left corner at (x, y): ink
// (non-zero) in `colour`, the rest in `background` when opaque.
void Stamp(Canvas c, std::uint32_t x, std::uint32_t y, const std::uint8_t* mask, std::uint32_t mw,
           std::uint32_t mh, std::uint32_t colour, std::uint32_t background, bool opaque);

}  // namespace Graph::Raster
