// The empty playfield of a new game: a 21 x 30 interior framed by settled
// wall cells, and a settled guard column right of the right wall.
#include "game/Rules.h"

namespace Game {

namespace {

void Wall(std::uint32_t x, std::uint32_t y) {
  scherm[x][y].Beweging = Stil;
  scherm[x][y].Kleur = kWallKleur;
}

}  // namespace

void FillPlayfield() {
  // Deliberate: the interior keeps its old colours; an empty cell is drawn in colour 0.
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) scherm[x][y].Beweging = Leeg;
  }
  for (std::uint32_t y = kTopWall; y <= kFloor; ++y) {
    Wall(kLeftWall, y);
    Wall(kRightWall, y);
    // Settled so that no turn puts a cell there; no full redraw shows it,
    // so it gets no colour of its own.
    scherm[kGuardColumn][y].Beweging = Stil;
  }
  for (std::uint32_t x = kLeftWall; x <= kRightWall; ++x) {
    Wall(x, kTopWall);
    Wall(x, kFloor);
  }
}

}  // namespace Game
