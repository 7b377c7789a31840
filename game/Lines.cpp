// Removing full rows: every full row of the interior goes, everything above
// it comes down one row, and each one scores a point and sounds (RowSound).
#include "game/Rules.h"

namespace Game {

RowSoundProc RowSound = [] {};

namespace {

bool RowFull(std::uint32_t z) {
  bool line_full = true;
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    if (scherm[x][z].Beweging == Leeg) line_full = false;
  }
  return line_full;
}

// Rows 1 .. z-1 come down one row, whole records; row 1 is emptied.
void RemoveRow(std::uint32_t z) {
  for (std::uint32_t r = z; r >= 2; --r) {
    for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) scherm[x][r] = scherm[x][r - 1];
  }
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) scherm[x][kInteriorTop].Beweging = Leeg;
}

}  // namespace

void CheckLine() {
  // Top down. The row that comes down into z was found not full already, so
  // the scan simply goes on with z + 1.
  for (std::uint32_t z = kInteriorTop; z <= kInteriorBottom; ++z) {
    if (!RowFull(z)) continue;
    score = score + 1;  // one point a row, no bonus for several at once
    RemoveRow(z);
    RowSound();
  }
}

}  // namespace Game
