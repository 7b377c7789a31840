// Fuzz target: the game's rules driven as the play loop drives them, through
// the same procedures. The input is the generator's starting seed, a few
// settled cells to start from, and a sequence of actions: the keys 4, 6, 5,
// 2, 0, 1 and q, and the end of a fall interval (the piece falls a row, or
// lands: Land and SpeedUp, the next piece spawns; after game over or q a new
// game on a new playfield). Checked after
// every single step: the playfield's invariant, and that keys and falls keep
// the number of falling cells; after a landing no cell is falling.
#include "game/Rules.h"
#include "game/State.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <cstdint>

using namespace Game;

namespace {

void Check(const char* step, std::uint32_t falling) {
  const ::testing::AssertionResult invariant = GameTest::PlayfieldInvariant();
  FUZZ_CHECK(invariant, "after %s: %s", step, invariant.message());
  const std::uint32_t now = GameTest::FindMoving().count;
  FUZZ_CHECK(now == falling, "after %s: %u falling cells, was %u", step, now, falling);
}

// Landing: the falling cells settle, full rows go and the game may speed
// up; after game over or q the next game starts on a new playfield.
void Landing() {
  Land();
  Check("a landing", 0);
  SpeedUp();
  // i goes up only when the score has reached 3 x i, one level at a time.
  FUZZ_CHECK(i >= 1 && 3 * (i - 1) <= score, "after a speed-up: level %u at score %u", i, score);
  FUZZ_CHECK(droprate <= 500, "after a speed-up: interval %u ms", droprate);
  if (game_over || arrow == 'q') {
    FillPlayfield();
    StartGameState();
    Check("a new playfield", 0);
  }
}

// Spawns pieces until one can fall (one that cannot lands at once, with no
// key read); returns its number of cells.
std::uint32_t Spawn() {
  for (;;) {
    InsertBlock();
    const std::uint32_t falling = GameTest::FindMoving().count;
    Check("a spawn", falling);
    empty_under = CheckUnder();
    if (empty_under) return falling;
    Landing();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 0;
  auto next = [&]() -> std::uint32_t { return at < size ? data[at++] : 0; };
  GameTest::ResetGameState();
  gSeed = (next() << 8 | next()) % 1013;
  // Settled cells to start from: a column, a row and a length each.
  for (std::uint32_t n = next() % 32; n > 0; --n) {
    const std::uint32_t x = kInteriorLeft + next() % 21, y = kInteriorTop + next() % 30;
    for (std::uint32_t len = next() % 8, k = 0; k < len && x + k <= kInteriorRight; ++k) scherm[x + k][y] = {Stil, 7};
  }
  Check("the settled cells", 0);
  StartGameState();

  std::uint32_t falling = Spawn();
  while (at < size) {
    const std::uint32_t action = next() % 10;
    if (action < 7) {
      arrow = "46520q1"[action];  // q changes nothing at once
      PlayKey(arrow);
      Check("a key", falling);
      continue;
    }
    // The end of a fall interval: one row down if it can; the next interval
    // begins unless it could not or q was the last key.
    FallOneRow();
    Check("a fall", falling);
    if (empty_under && arrow != 'q') continue;
    Landing();
    falling = Spawn();
  }
  return 0;
}
