// A game's pace: its starting variables, and the fall's rule part as the play
// loop calls it after the ticks of a fall interval and after a piece has
// stopped: one row down, the landing and the speed-up.
#include "game/Rules.h"

namespace Game {

void StartGameState() {
  game_over = false;
  arrow = 'a';
  i = 1;
  droprate = 500;
  score = 0;
}

void FallOneRow() {
  empty_under = CheckUnder();
  if (empty_under) DropBlock();
}

void Land() {
  AllStop();
  CheckLine();
}

void SpeedUp() {
  // Deliberate: only an exact hit counts, so two rows at once past 3 x i
  // (2 to 4) stop the speed-ups for the rest of the game.
  if (score == 3 * i) {
    droprate = droprate * 8 / 10;
    i = i + 1;
  }
}

}  // namespace Game
