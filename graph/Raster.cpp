// Raster: fills, outlines, inversion and text stamping on the back buffer's
// pixel array, clipped to it.
#include "graph/Raster.h"

#include <algorithm>
#include <cstring>

namespace Graph::Raster {

const std::uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // falling diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // rising diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

namespace {

// Dash patterns as alternating on/off runs in pixels, starting with "on".
struct Dashes {
  std::uint8_t runs[6];
  std::uint8_t count;
};
constexpr Dashes kDashes[5] = {
    {{1}, 1},                   // solid (unused: drawn as spans)
    {{3, 3}, 2},                // dotted
    {{18, 6}, 2},               // dashed
    {{9, 6, 3, 6}, 4},          // dash-dot
    {{9, 3, 3, 3, 3, 3}, 6},    // dash-dot-dot
};

std::uint32_t* Row(Canvas c, std::uint32_t y) { return c.pixels + static_cast<std::size_t>(y) * c.width; }

// Clips an inclusive span to 0..limit-1; false when nothing is left.
bool Clip(std::uint32_t& lo, std::uint32_t& hi, std::uint32_t limit) {
  if (limit == 0 || lo >= limit) return false;
  hi = std::min(hi, limit - 1);
  return lo <= hi;
}

void SolidSpan(Canvas c, std::uint32_t y, std::uint32_t x1, std::uint32_t x2, std::uint32_t colour) {
  if (y >= c.depth || !Clip(x1, x2, c.width)) return;
  std::fill(Row(c, y) + x1, Row(c, y) + x2 + 1, colour);
}

void SolidColumn(Canvas c, std::uint32_t x, std::uint32_t y1, std::uint32_t y2, std::uint32_t colour) {
  if (x >= c.width || !Clip(y1, y2, c.depth)) return;
  for (std::uint32_t y = y1; y <= y2; ++y) Row(c, y)[x] = colour;
}

// The on/off pixels of one period of a dash pattern, and the painting of a
// perimeter pixel by its distance along the walk.
class DashPainter {
 public:
  DashPainter(Canvas c, const Dashes& d, std::uint32_t colour, std::uint32_t background, bool opaque)
      : c_(c), colour_(colour), background_(background), opaque_(opaque) {
    for (std::uint8_t r = 0; r < d.count; ++r)
      for (std::uint8_t i = 0; i < d.runs[r]; ++i) on_[period_++] = r % 2 == 0;
  }

  // (x, y) is on the canvas; `pos` is its distance from the walk's start.
  void Paint(std::uint32_t x, std::uint32_t y, std::uint64_t pos) {
    if (on_[pos % period_])
      Row(c_, y)[x] = colour_;
    else if (opaque_)
      Row(c_, y)[x] = background_;
  }

 private:
  Canvas c_;
  std::uint32_t colour_, background_;
  bool opaque_;
  bool on_[32] = {};
  std::uint32_t period_ = 0;
};

}  // namespace

void Plot(Canvas c, std::uint32_t x, std::uint32_t y, std::uint32_t colour) {
  if (x < c.width && y < c.depth) Row(c, y)[x] = colour;
}

void Fill(Canvas c, std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
          const Brush& brush) {
  if (!Clip(left, right, c.width) || !Clip(top, bottom, c.depth)) return;
  if (brush.solid) {
    // One row filled, the others copied from it: memcpy runs far faster than
    // a fill loop on large areas (the game-over frames).
    const std::uint32_t* first = Row(c, top) + left;
    const std::size_t bytes = (std::size_t{right} - left + 1) * sizeof(std::uint32_t);
    std::fill(Row(c, top) + left, Row(c, top) + right + 1, brush.colour);
    for (std::uint32_t y = top + 1; y <= bottom; ++y) std::memcpy(Row(c, y) + left, first, bytes);
    return;
  }
  for (std::uint32_t y = top; y <= bottom; ++y) {
    std::uint32_t* row = Row(c, y);
    // Aligned to the canvas origin: bit 7 of a row is every x divisible by 8.
    const unsigned bits = brush.rows[y & 7];
    for (std::uint32_t x = left; x <= right; ++x) {
      if (bits & (0x80u >> (x & 7)))
        row[x] = brush.colour;
      else if (brush.opaque)
        row[x] = brush.background;
    }
  }
}

void Outline(Canvas c, std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom,
             std::uint32_t colour, std::uint32_t style, std::uint32_t background, bool opaque) {
  if (style == NoLine) return;
  if (style > NoLine || style == Solid) {
    SolidSpan(c, top, left, right, colour);
    SolidSpan(c, bottom, left, right, colour);
    if (bottom - top >= 2) {
      SolidColumn(c, left, top + 1, bottom - 1, colour);
      SolidColumn(c, right, top + 1, bottom - 1, colour);
    }
    return;
  }
  // Each pixel of the perimeter exactly once, clockwise from (left, top), so
  // that the pattern runs on around the corners. Only the pixels on the
  // canvas are visited: their place in the pattern follows from their
  // distance along the walk, however far the rectangle reaches.
  DashPainter paint(c, kDashes[style], colour, background, opaque);
  if (c.width == 0 || c.depth == 0) return;
  const std::uint64_t across = std::uint64_t{right} - left + 1;
  const std::uint64_t down = std::uint64_t{bottom} - top;  // right edge below the corner
  const std::uint32_t maxX = c.width - 1, maxY = c.depth - 1;
  if (top <= maxY)
    for (std::uint32_t x = left; x <= std::min(right, maxX); ++x) paint.Paint(x, top, x - left);
  if (bottom == top) return;
  if (right <= maxX)
    for (std::uint32_t y = top + 1; y <= std::min(bottom, maxY); ++y) paint.Paint(right, y, across + (y - top - 1));
  if (right == left) return;
  const std::uint64_t bottomStart = across + down;
  if (bottom <= maxY && left <= maxX)
    for (std::uint32_t x = std::min(right - 1, maxX);; --x) {
      paint.Paint(x, bottom, bottomStart + (right - 1 - x));
      if (x == left) break;
    }
  const std::uint64_t leftStart = bottomStart + (across - 1);
  if (left <= maxX && top + 1 <= maxY)
    for (std::uint32_t y = std::min(bottom - 1, maxY); y > top; --y) paint.Paint(left, y, leftStart + (bottom - 1 - y));
}

void Invert(Canvas c, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  left = std::max<std::int64_t>(left, 0);
  top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, c.width);
  bottom = std::min<std::int64_t>(bottom, c.depth);
  for (std::int64_t y = top; y < bottom; ++y) {
    std::uint32_t* row = Row(c, static_cast<std::uint32_t>(y));
    for (std::int64_t x = left; x < right; ++x) row[x] ^= 0xFFFFFF;
  }
}

void Stamp(Canvas c, std::uint32_t x, std::uint32_t y, const std::uint8_t* mask, std::uint32_t mw,
           std::uint32_t mh, std::uint32_t colour, std::uint32_t background, bool opaque) {
  if (!mask || x >= c.width || y >= c.depth) return;
  const std::uint32_t w = std::min(mw, c.width - x);
  const std::uint32_t h = std::min(mh, c.depth - y);
  for (std::uint32_t my = 0; my < h; ++my) {
    const std::uint8_t* src = mask + static_cast<std::size_t>(my) * mw;
    std::uint32_t* dst = Row(c, y + my) + x;
    for (std::uint32_t mx = 0; mx < w; ++mx) {
      if (src[mx])
        dst[mx] = colour;
      else if (opaque)
        dst[mx] = background;
    }
  }
}

}  // namespace Graph::Raster
