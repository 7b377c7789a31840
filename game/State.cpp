// Game state: the module-level variables, zeroed at program start, and the
// module's one-time start-up.
#include "game/State.h"

#include "game/Rules.h"

namespace Game {

Playfield scherm;
PieceTable arr;

bool game_over;
bool empty_rotate;
bool empty_left;
bool empty_right;
bool empty_under;

std::uint32_t droprate;
std::uint32_t score;
std::uint32_t typegetal;
std::uint32_t gSeed;
std::uint32_t xC;
std::uint32_t yC;
char newgame;
std::uint32_t i;
std::uint32_t j;
std::uint32_t tijd;
char arrow;
char temp[5];

namespace {
bool initialised = false;
}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  FillPieceTable();
  newgame = 'n';
}

}  // namespace Game
