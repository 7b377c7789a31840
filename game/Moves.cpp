// Moving and landing the falling piece. The piece is no object of its own:
// it is the set of moving cells, found by scanning the interior.
#include "game/Rules.h"

namespace Game {

namespace {

// TRUE when no moving cell has a Stil cell at offset (dx, dy). Only Stil
// blocks: an empty cell or a cell of the piece itself does not. Walls are
// Stil, which is what keeps the piece inside. `moving` counts the moving cells.
bool NothingStilAt(std::int32_t dx, std::int32_t dy, std::uint32_t& moving) {
  bool toReturn = true;
  moving = 0;
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) {
      if (!IsMoving(scherm[x][y])) continue;
      ++moving;
      if (scherm[x + dx][y + dy].Beweging == Stil) toReturn = false;
    }
  }
  return toReturn;
}

// Moves the cell at (x, y), if it is moving, to (tx, ty) as a whole record.
// The callers' scan orders make sure a cell is moved once and never
// overwritten before it has moved.
void MoveCell(std::uint32_t x, std::uint32_t y, std::uint32_t tx, std::uint32_t ty) {
  SquareType& from = scherm[x][y];
  if (!IsMoving(from)) return;
  scherm[tx][ty] = from;
  // Deliberate: the colour stays behind; an empty cell is drawn in colour 0.
  from.Beweging = Leeg;
}

}  // namespace

bool CheckLeft() {
  std::uint32_t moving;
  return NothingStilAt(-1, 0, moving);
}

bool CheckRight() {
  std::uint32_t moving;
  return NothingStilAt(1, 0, moving);
}

bool CheckUnder() {
  std::uint32_t moving;
  const bool free = NothingStilAt(0, 1, moving);
  // Mended: nothing can fall when there is nothing: a spawn wholly on settled cells
  // leaves no moving cell, and "fall while CheckUnder" would never end.
  return free && moving > 0;
}

void MoveLeft() {
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) MoveCell(x, y, x - 1, y);
  }
  xC = xC - 1;
}

void MoveRight() {
  for (std::uint32_t x = kInteriorRight; x >= kInteriorLeft; --x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) MoveCell(x, y, x + 1, y);
  }
  xC = xC + 1;
}

void DropBlock() {
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorBottom; y >= kInteriorTop; --y) MoveCell(x, y, x, y + 1);
  }
  yC = yC + 1;
}

void AllStop() {
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) {
      if (IsMoving(scherm[x][y])) scherm[x][y].Beweging = Stil;
    }
  }
}

}  // namespace Game
