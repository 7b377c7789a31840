// Removing full rows: which rows go, what comes down, the score and the row
// sound, one per removed row.
#include "game/Rules.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Game;
using GameTest::FillRow;

int rowSounds = 0;

class LinesTest : public GameTest::FreshGame {
 protected:
  void SetUp() override {
    FreshGame::SetUp();
    rowSounds = 0;
    RowSound = [] { ++rowSounds; };
  }

  static std::uint32_t Filled(std::uint32_t y) {
    std::uint32_t n = 0;
    for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) n += scherm[x][y].Beweging != Leeg;
    return n;
  }
};

TEST_F(LinesTest, NoFullRowChangesNothingAndPlaysNothing) {
  FillRow(30, {21}, 4);
  FillRow(29, {1}, 5);
  const auto before = Game::TakeState();
  CheckLine();
  EXPECT_TRUE(Game::TakeState() == before);
  EXPECT_EQ(rowSounds, 0);
}

TEST_F(LinesTest, BottomRowGoesAndEverythingComesDownWithItsColour) {
  FillRow(30, {}, 4);
  scherm[5][29] = {Stil, 9};
  scherm[7][1] = {Stil, 3};
  score = 2;
  CheckLine();
  EXPECT_EQ(score, 3u);
  EXPECT_EQ(rowSounds, 1);
  EXPECT_EQ(scherm[5][30], (SquareType{Stil, 9}));
  EXPECT_EQ(scherm[7][2], (SquareType{Stil, 3}));
  EXPECT_EQ(Filled(30), 1u);
  EXPECT_EQ(Filled(1), 0u);
  // Row 1 is emptied by state only: the colours stay as they were.
  EXPECT_EQ(scherm[7][1].Kleur, 3u);
  EXPECT_TRUE(GameTest::PlayfieldInvariant());
}

TEST_F(LinesTest, TwoFullRowsWithAGapRowBetweenBothGo) {
  FillRow(30, {}, 4);
  FillRow(29, {11}, 6);
  FillRow(28, {}, 8);
  CheckLine();
  EXPECT_EQ(score, 2u);
  EXPECT_EQ(rowSounds, 2);
  // The former row 29, its gap included, ends at the bottom.
  EXPECT_EQ(Filled(30), 20u);
  EXPECT_EQ(scherm[11][30].Beweging, Leeg);
  EXPECT_EQ(scherm[1][30], (SquareType{Stil, 6}));
  EXPECT_EQ(Filled(29), 0u);
}

TEST_F(LinesTest, FourFullRowsGoInOneCall) {
  for (std::uint32_t y = 27; y <= 30; ++y) FillRow(y, {}, y - 20);
  FillRow(26, {3}, 2);
  CheckLine();
  EXPECT_EQ(score, 4u);
  EXPECT_EQ(rowSounds, 4);
  EXPECT_EQ(Filled(30), 20u);
  EXPECT_EQ(scherm[4][30].Kleur, 2u);
  for (std::uint32_t y = 1; y <= 29; ++y) EXPECT_EQ(Filled(y), 0u) << "row " << y;
}

TEST_F(LinesTest, ARowThatComesDownIsNotTestedAgain) {
  // Rows 10 and 11 both full: removing 10 brings row 9 (not full) into 10,
  // then row 11 is found full in its turn.
  FillRow(10, {}, 4);
  FillRow(11, {}, 5);
  FillRow(9, {2}, 6);
  CheckLine();
  EXPECT_EQ(score, 2u);
  EXPECT_EQ(Filled(11), 20u);
  EXPECT_EQ(scherm[3][11], (SquareType{Stil, 6}));
  EXPECT_EQ(Filled(10), 0u);
}

TEST_F(LinesTest, WallsAndMovingCellsCountAsFilledAndWallsNeverMove) {
  FillRow(30, {8}, 4);
  scherm[8][30] = {Bewegend, 1};  // anything but Leeg fills
  CheckLine();
  EXPECT_EQ(score, 1u);
  EXPECT_TRUE(GameTest::PlayfieldInvariant());
}

}  // namespace
