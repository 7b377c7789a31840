// Turning the falling piece: a quarter turn about its centre cell, worked
// out on a copy of the cells around the centre and written back only when
// every cell of the piece fits.
#include "game/Rules.h"
#include "game/CentreSpan.h"

namespace Game {

namespace {

using TurnBox = RangeArray<RangeArray<SquareType, 1, 4>, 1, 4>;

constexpr std::uint32_t kSquareType = 0;
constexpr std::uint32_t kBarType = 6;

// One attempt to turn the piece where it stands; sets and returns empty_rotate.
bool TurnInPlace() {
  empty_rotate = true;
  if (typegetal == kSquareType) return true;  // the square is never turned

  const std::uint32_t m = typegetal == kBarType ? 4 : 3;
  // Mended: a turn about a stale centre, which may lie anywhere, reached
  // outside the grid; the span is moved back inside. A span not moved has the
  // centre at its [2][2].
  const std::uint32_t left = FitSpan(xC, 1, m, kColumns).first;
  const std::uint32_t top = FitSpan(yC, 1, m, kRows).first;

  TurnBox arr1{};
  TurnBox arr2{};  // all Leeg, Kleur 0
  for (std::uint32_t k = 1; k <= m; ++k) {
    for (std::uint32_t l = 1; l <= m; ++l) arr1[k][l] = scherm[left + k - 1][top + l - 1];
  }

  // The whole span is tested, even after a blocked cell has been found.
  for (std::uint32_t k = 1; k <= m; ++k) {
    for (std::uint32_t l = 1; l <= m; ++l) {
      const SquareType& c = arr1[k][l];
      if (!IsMoving(c)) continue;
      // A quarter turn anticlockwise. The bar: the mirror in the
      // diagonal through the centre, so two turns restore it.
      const std::uint32_t tk = l;
      const std::uint32_t tl = m == 4 ? k : 4 - k;
      // Outside the interior only the spare row 32 and column 24 are not
      // Stil; a turn about a stale centre could carry a cell over the floor
      // into them. For a real centre such a turn is blocked by a wall anyway.
      if (arr1[tk][tl].Beweging != Stil && InInterior(left + tk - 1, top + tl - 1)) {
        arr2[tk][tl] = c;
      } else {
        empty_rotate = false;
      }
    }
  }

  if (empty_rotate) {
    // Settled cells stay as they were; every other cell of the span takes
    // the turned picture, so the cells the piece left become Leeg, Kleur 0.
    for (std::uint32_t k = 1; k <= m; ++k) {
      for (std::uint32_t l = 1; l <= m; ++l) {
        if (arr1[k][l].Beweging != Stil) scherm[left + k - 1][top + l - 1] = arr2[k][l];
      }
    }
  }
  return empty_rotate;
}

}  // namespace

void RotateBlock() {
  std::int32_t lastShift = 0;  // -1 left, +1 right
  while (!TurnInPlace()) {
    empty_right = CheckRight();
    empty_left = CheckLeft();
    if (empty_left == empty_right) return;  // free on both sides or on neither: stay
    const std::int32_t shift = empty_left ? -1 : 1;
    // Mended: shifting back the way it came would bring back a grid that has been
    // tried already, and so on for ever (an upright bar in a shaft two
    // columns wide). The piece stays where the last shift put it.
    if (shift == -lastShift) return;
    lastShift = shift;
    // Deliberate: a shift is kept even when the turn still fails after it.
    if (shift < 0) {
      MoveLeft();
    } else {
      MoveRight();
    }
  }
}

}  // namespace Game
