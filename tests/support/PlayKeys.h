// The play keys as the play loop carries them out inside a fall interval, on
// the rules alone (no drawing, no timing), for the suites that play random
// or fuzzed games.
#pragma once

#include "game/Rules.h"
#include "game/State.h"

namespace GameTest {

// Every key is stored in `arrow`; 4, 6, 5, 2 and 0 move the piece, after
// their check where they have one; any other key changes nothing at once.
inline void ApplyKey(char key) {
  using namespace Game;
  arrow = key;
  switch (key) {
    case '4':
      empty_left = CheckLeft();
      if (empty_left) MoveLeft();
      break;
    case '6':
      empty_right = CheckRight();
      if (empty_right) MoveRight();
      break;
    case '5':
      RotateBlock();
      break;
    case '2':
      empty_under = CheckUnder();
      if (empty_under) DropBlock();
      break;
    case '0':
      do {
        empty_under = CheckUnder();
        if (empty_under) DropBlock();
      } while (empty_under);
      break;
    default:
      break;
  }
}

}  // namespace GameTest
