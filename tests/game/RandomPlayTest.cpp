// Thousands of pieces played with random keys through the rules' own
// procedures, as the play loop calls them (keys, the fall, the landing, the
// speed-up), with the playfield's invariant checked after every single step.
#include "game/Rules.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

#include <random>

using namespace Game;
using namespace GameTest;

namespace {

constexpr int kPieces = 8000;

struct Tally {
  int games = 0, staleCentres = 0, staleTurns = 0, blockedTurns = 0, midAirLandings = 0, speedUps = 0;
  std::uint32_t fastest = 500;  // the shortest fall interval reached, in ms
};

// A random key; over a well (column `well`, 0 for none) half the keys steer
// the piece's centre towards it.
char RandomKey(std::mt19937& rng, std::uint32_t well) {
  if (well != 0 && xC != well && rng() % 2 == 0) return xC < well ? '6' : '4';
  const std::uint32_t n = rng() % 1000;
  if (n < 250) return '4';
  if (n < 500) return '6';
  if (n < 800) return '5';
  if (n < 920) return '2';
  if (n < 960) return '0';
  if (n < 962) return 'q';
  return '3';
}

// Every other game starts on three settled rows with a well one column wide
// (returned), so that random play fills rows and the game speeds up.
std::uint32_t LayFloor(std::mt19937& rng) {
  const std::uint32_t gap = kInteriorLeft + rng() % (kInteriorRight - kInteriorLeft + 1);
  for (std::uint32_t y = kInteriorBottom - 2; y <= kInteriorBottom; ++y) FillRow(y, {gap});
  return gap;
}

TEST(RandomPlayTest, InvariantHoldsAfterEveryStep) {
  ResetGameState();
  std::mt19937 rng(20240607);
  Tally tally;
  std::uint32_t well = 0;
  StartGameState();
  for (int piece = 0; piece < kPieces; ++piece) {
    InsertBlock();
    ASSERT_TRUE(PlayfieldInvariant()) << "spawn of piece " << piece;
    const std::uint32_t cells = FindMoving().count;
    // A spawn whose centre landed on a settled cell: xC, yC are the last piece's.
    const bool stale = game_over && (xC >= kColumns || yC >= kRows || scherm[xC][yC].Beweging != CBewegend);
    tally.staleCentres += stale;

    empty_under = CheckUnder();
    while (empty_under && arrow != 'q') {
      for (std::uint32_t keys = rng() % 4; keys > 0; --keys) {
        const char key = RandomKey(rng, well);
        arrow = key;
        PlayKey(key);
        if (key == '5' && !empty_rotate) ++tally.blockedTurns;
        if (key == '5' && stale) ++tally.staleTurns;
        ASSERT_TRUE(PlayfieldInvariant()) << "key " << key << ", piece " << piece;
        ASSERT_EQ(FindMoving().count, cells) << "key " << key << ", piece " << piece;
      }
      FallOneRow();
      ASSERT_TRUE(PlayfieldInvariant()) << "fall, piece " << piece;
      ASSERT_EQ(FindMoving().count, cells) << "fall, piece " << piece;
    }
    if (empty_under) ++tally.midAirLandings;
    Land();
    ASSERT_TRUE(PlayfieldInvariant()) << "landing of piece " << piece;
    ASSERT_EQ(FindMoving().count, 0u);
    const std::uint32_t before = droprate;
    SpeedUp();
    tally.speedUps += droprate < before;
    if (droprate < tally.fastest) tally.fastest = droprate;

    if (game_over || arrow == 'q') {
      ++tally.games;
      FillPlayfield();
      well = tally.games % 2 == 1 ? LayFloor(rng) : 0;
      StartGameState();
    }
  }
  // The run met the cases it is there for.
  EXPECT_GT(tally.games, 50);
  EXPECT_GT(tally.staleCentres, 0);
  EXPECT_GT(tally.staleTurns, 0);
  EXPECT_GT(tally.blockedTurns, 100);
  EXPECT_GT(tally.midAirLandings, 10);
  EXPECT_GT(tally.speedUps, 0);
  EXPECT_LE(tally.fastest, 400u);
  std::cout << "games " << tally.games << ", stale centres " << tally.staleCentres
            << ", turns about a stale centre " << tally.staleTurns << ", blocked turns "
            << tally.blockedTurns << ", mid-air landings " << tally.midAirLandings << ", speed-ups "
            << tally.speedUps << ", fastest interval " << tally.fastest << " ms\n";
}

}  // namespace
