// CentreSpan: spans of cells around a centre, kept inside the grid.
#include "game/CentreSpan.h"

#include "runtime/Runtime.h"

#include <algorithm>

namespace Game {

namespace {

// A centre moved left of 0 has wrapped round; as a signed number it is
// just left of the grid again.
std::int64_t Signed(std::uint32_t centre) { return static_cast<std::int32_t>(centre); }

}  // namespace

Span CutSpan(std::uint32_t centre, std::uint32_t before, std::uint32_t after, std::uint32_t size) {
  const std::int64_t first = std::max<std::int64_t>(Signed(centre) - before, 0);
  const std::int64_t last = std::min<std::int64_t>(Signed(centre) + after, std::int64_t{size} - 1);
  if (first > last) return {0, 0};
  return {static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last - first + 1)};
}

Span FitSpan(std::uint32_t centre, std::uint32_t before, std::uint32_t length, std::uint32_t size) {
  RT_ASSERT(length <= size);
  const std::int64_t first = std::clamp<std::int64_t>(Signed(centre) - before, 0, std::int64_t{size} - length);
  return {static_cast<std::uint32_t>(first), length};
}

}  // namespace Game
