// Soak: game after game of the play loop in virtual time with random keys
// (moves, turns, drops, speed, q, and keys the game ignores, extended keys
// among them), thousands of pieces, on boards with rows laid ready. After every piece and every game the
// playfield's invariant holds; the heap does not grow from game to game (the
// sanitizer build checks for leaks at exit as well).
#include "Scenario.h"

#include "game/Board.h"
#include "game/Program.h"
#include "../support/PlayfieldInvariant.h"

#include <malloc.h>

#include <gtest/gtest.h>

#include <random>

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr int kPieces = 400;  // ThreadSanitizer is slow; the races show early
#else
constexpr int kPieces = 3000;
#endif

TEST(SoakTest, ThousandsOfPiecesWithRandomKeysKeepThePlayfieldSound) {
  Scenario::Player player;
  player.Prepare();
  const char* const keys[] = {"4", "4", "4", "6", "6", "6", "5", "5", "5", "2", "2", "0", "0",
                              "1", "3", "x", " ", "\x1b[D", "\x1bOP", "N"};
  std::mt19937 random(20020);
  int pieces = 0, games = 0;
  std::uint32_t lastSeed = Game::gSeed;
  bool broken = false;
  player.everyWait = [&] {
    if (Game::gSeed != lastSeed) {  // a piece was dealt
      lastSeed = Game::gSeed;
      ++pieces;
      if (!broken) {
        const ::testing::AssertionResult sound = GameTest::PlayfieldInvariant();
        EXPECT_TRUE(sound) << "piece " << pieces << " of game " << games + 1;
        broken = !sound;
      }
    }
    if (random() % 6 == 0) Scenario::Player::TypeAndFence(keys[random() % std::size(keys)]);
    // Now and then q, so that games end both ways.
    if (random() % 6000 == 0) Scenario::Player::TypeAndFence("q");
  };

  std::size_t heapAfterWarmUp = 0;
  std::uint32_t scores = 0, quits = 0;
  while (pieces < kPieces && !broken) {
    // A game as the program body frames it, without its screens.
    Game::StartGameState();
    Game::FillScreen();
    // Ten rows laid ready below, each with one gap, so that random drops
    // complete rows now and then.
    for (std::uint32_t y = 21; y <= 30; ++y) {
      const auto gap = static_cast<std::uint32_t>(1 + random() % 21);
      for (std::uint32_t x = 1; x <= 21; ++x)
        if (x != gap) Game::scherm[x][y] = {Game::Stil, static_cast<std::uint32_t>(1 + random() % 15)};
    }
    Game::DrawFullScreen();
    Game::PlayLoop();
    ++games;
    scores += Game::score;
    quits += Game::arrow == 'q';
    ASSERT_TRUE(GameTest::PlayfieldInvariant()) << "after game " << games;
    ASSERT_EQ(GameTest::FindMoving().count, 0u) << "a piece still falls after game " << games;
    ASSERT_LE(Game::droprate, 500u);
    if (games == 5) heapAfterWarmUp = mallinfo2().uordblks;
  }
  player.Finish();
  const std::size_t heap = mallinfo2().uordblks;
  std::printf("%d pieces in %d games (%u ended by q), %u rows, %llu s of play\n", pieces, games, quits, scores,
              static_cast<unsigned long long>(player.now / 1000));
  EXPECT_GE(pieces, kPieces);
  EXPECT_GT(games, 10);
  EXPECT_GT(scores, 0u) << "random keys never completed a row";
  EXPECT_LT(heap, heapAfterWarmUp + 64 * 1024) << "the heap grew by " << heap - heapAfterWarmUp << " bytes";
}

}  // namespace
