// The playfield's invariant, for every suite that drives the game's rules.
// It holds after every rule, from one new playfield to the next:
//  - walls unchanged: columns 0 and 22 (rows 0..31) and rows 0 and 31
//    (columns 0..22) are Stil with Kleur 12, as a new playfield has them;
//  - guard column unchanged: column 23, rows 0..31, is Stil (its Kleur is
//    never set, so it is not compared);
//  - every moving or landed cell is in the interior (columns 1..21, rows
//    1..30): the spare cells, row 32 and column 24, are Leeg (their Kleur is
//    not compared: an empty cell's colour is never shown);
//  - at most one cell is CBewegend, and when there is one it is at (xC, yC).
// Depends on: game/State.h, GoogleTest.
#pragma once

#include "game/State.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace GameTest {

inline ::testing::AssertionResult PlayfieldInvariant() {
  using namespace Game;
  std::uint32_t centres = 0;
  for (std::uint32_t x = 0; x < kColumns; ++x) {
    for (std::uint32_t y = 0; y < kRows; ++y) {
      const SquareType& c = scherm[x][y];
      const bool wall = (y <= kFloor && (x == kLeftWall || x == kRightWall)) ||
                        (x <= kRightWall && (y == kTopWall || y == kFloor));
      const bool guard = x == kGuardColumn && y <= kFloor;
      if (wall && (c.Beweging != Stil || c.Kleur != kWallKleur)) {
        return ::testing::AssertionFailure()
               << "wall cell (" << x << ", " << y << ") is " << int{c.Beweging} << " colour " << c.Kleur;
      }
      if (guard && c.Beweging != Stil) {
        return ::testing::AssertionFailure() << "guard cell (" << x << ", " << y << ") is " << int{c.Beweging};
      }
      if (!wall && !guard && !InInterior(x, y) && c.Beweging != Leeg) {
        return ::testing::AssertionFailure() << "cell (" << x << ", " << y << ") outside the interior is "
                                             << int{c.Beweging};
      }
      if (c.Beweging == CBewegend) {
        ++centres;
        if (x != xC || y != yC) {
          return ::testing::AssertionFailure()
                 << "centre cell at (" << x << ", " << y << ") but xC, yC = (" << xC << ", " << yC << ")";
        }
      }
    }
  }
  if (centres > 1) return ::testing::AssertionFailure() << centres << " centre cells";
  return ::testing::AssertionSuccess();
}

}  // namespace GameTest
