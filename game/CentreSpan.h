// CentreSpan: spans of cells around the falling piece's centre, kept inside
// the grid. The centre (xC, yC) can be stale, even shifted past column 0 (it
// is unsigned and wraps), when a new piece spawned with its centre on a
// settled cell; whatever it holds, a span computed here never leaves the grid.
// Depends on: runtime (RT_ASSERT).
#pragma once

#include <cstdint>

namespace Game {

// `count` cells from `first` along one axis.
struct Span {
  std::uint32_t first;
  std::uint32_t count;
};

// The cells centre - before .. centre + after, cut to 0 .. size - 1; may be
// empty. For redrawing: what lies outside the grid is simply not there.
Span CutSpan(std::uint32_t centre, std::uint32_t before, std::uint32_t after, std::uint32_t size);

// `length` cells starting `before` cells ahead of the centre, moved as
// little as needed to lie inside 0 .. size - 1 (length <= size). For turning,
// which needs a whole span.
Span FitSpan(std::uint32_t centre, std::uint32_t before, std::uint32_t length, std::uint32_t size);

}  // namespace Game
