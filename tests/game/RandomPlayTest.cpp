// Thousands of pieces played with random keys, as the play loop applies
// them, with the playfield's invariant checked after every single step.
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
  int games = 0, staleCentres = 0, staleTurns = 0, blockedTurns = 0, midAirLandings = 0;
};

char RandomKey(std::mt19937& rng) {
  const std::uint32_t n = rng() % 1000;
  if (n < 250) return '4';
  if (n < 500) return '6';
  if (n < 800) return '5';
  if (n < 920) return '2';
  if (n < 960) return '0';
  if (n < 962) return 'q';
  return '3';
}

TEST(RandomPlayTest, InvariantHoldsAfterEveryStep) {
  ResetGameState();
  std::mt19937 rng(20240607);
  Tally tally;
  arrow = 'a';
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
        const char key = RandomKey(rng);
        arrow = key;
        PlayKey(key);
        if (key == '5' && !empty_rotate) ++tally.blockedTurns;
        if (key == '5' && stale) ++tally.staleTurns;
        ASSERT_TRUE(PlayfieldInvariant()) << "key " << key << ", piece " << piece;
        ASSERT_EQ(FindMoving().count, cells) << "key " << key << ", piece " << piece;
      }
      empty_under = CheckUnder();
      if (empty_under) DropBlock();
      ASSERT_TRUE(PlayfieldInvariant()) << "fall, piece " << piece;
      ASSERT_EQ(FindMoving().count, cells) << "fall, piece " << piece;
    }
    if (empty_under) ++tally.midAirLandings;
    AllStop();
    ASSERT_TRUE(PlayfieldInvariant()) << "landing of piece " << piece;
    ASSERT_EQ(FindMoving().count, 0u);
    CheckLine();
    ASSERT_TRUE(PlayfieldInvariant()) << "rows removed after piece " << piece;

    if (game_over || arrow == 'q') {
      ++tally.games;
      FillPlayfield();
      game_over = false;
      arrow = 'a';
    }
  }
  // The run met the cases it is there for.
  EXPECT_GT(tally.games, 50);
  EXPECT_GT(tally.staleCentres, 0);
  EXPECT_GT(tally.staleTurns, 0);
  EXPECT_GT(tally.blockedTurns, 100);
  EXPECT_GT(tally.midAirLandings, 10);
  std::cout << "games " << tally.games << ", stale centres " << tally.staleCentres
            << ", turns about a stale centre " << tally.staleTurns << ", blocked turns "
            << tally.blockedTurns << ", mid-air landings " << tally.midAirLandings << "\n";
}

}  // namespace
