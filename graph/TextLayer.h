// TextLayer: the texts drawn on the picture, kept as text beside its pixels
// for the views that show characters (the terminal view): each character
// with the box it was drawn in, until a drawing reaches that box; a
// character painted over goes, whatever the colours. Part of the picture,
// and like its pixels used with the surface lock held.
//
// What callers may expect:
// - Nothing is kept, and every call but Keep is a no-op, while no view that
//   needs the texts is open: the window alone costs nothing here.
// - A screen holds a few thousand characters at most, since each new one
//   takes the place of those it covers; the layer keeps at most kMaxChars,
//   the oldest going first.
// Depends on: graph/Raster (the canvas).
#pragma once

#include "graph/Raster.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Graph::TextLayer {

struct Char {
  std::uint32_t left, top, right, bottom;  // its box on the picture, clipped, inclusive
  std::uint32_t x, y;                      // where its text was drawn (top-left corner)
  std::uint32_t index;                     // its place in that text
  std::uint32_t colour, background;        // 0x00RRGGBB
  bool opaque;                             // the background counts
  char ch;                                 // code page 1252
};

constexpr std::size_t kMaxChars = 4096;

// Whether texts are kept: on while a view that shows them is open. Turning
// it either way forgets what was kept.
void Keep(bool on);

// Right after a text was drawn on the canvas with its top-left corner at
// (x, y), each character in a box of glyphWidth x glyphDepth pixels: keeps
// its characters, in place of any they cover. Characters wholly off the
// canvas are not kept.
void Note(Raster::Canvas c, std::uint32_t x, std::uint32_t y, std::string_view text, std::uint32_t glyphWidth,
          std::uint32_t glyphDepth, std::uint32_t colour, std::uint32_t background, bool opaque);

// Something was drawn on left..right, top..bottom (inclusive): the
// characters whose boxes it reaches go.
void Covered(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom);

// Forgets every text: a new picture.
void Forget();

// The characters kept, oldest first.
const std::vector<Char>& Chars();

}  // namespace Graph::TextLayer
