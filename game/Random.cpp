// RandomCard: the game's one pseudo-random sequence. The numbers are those of
// the original generator to the last bit: a single-precision factor, a
// double-precision product, a seed that is never reset.
#include "game/Rules.h"

#include <algorithm>

namespace Game {

std::uint32_t RandomCard(std::uint32_t min, std::uint32_t max) {
  RT_ASSERT(min <= max);
  const std::uint32_t range = max - min;
  // Held to single precision on purpose: the results depend on it.
  const float factor = (static_cast<float>(range) + 0.99999f) / 1012.0f;
  gSeed = (gSeed * 351 + 138) % 1013;
  const double product = static_cast<double>(gSeed) * static_cast<double>(factor);
  // Mended: from a range of 257 values up the product could exceed the range;
  // never beyond max.
  return static_cast<std::uint32_t>(std::min(product, static_cast<double>(range))) + min;
}

}  // namespace Game
