// Removing full rows: which rows go, what comes down, the score and the row
// sound, one per removed row.
#include "game/Rules.h"
#include "sound/StandardSound.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Game;

std::vector<std::string> soundCalls;

std::int32_t RecordSound(std::string_view name, std::uint32_t flags) {
  soundCalls.push_back(std::string(name) + "/" + std::to_string(flags));
  return 1;
}

class LinesTest : public GameTest::FreshGame {
 protected:
  void SetUp() override {
    FreshGame::SetUp();
    soundCalls.clear();
    StandardSound::PlaySoundRedirect = RecordSound;
    StandardSound::gActive = true;
    StandardSound::gSoundList[StandardSound::DEL_LINE] = {"wohoo.wav", 0x20001};
  }
  void TearDown() override {
    StandardSound::gActive = false;
    StandardSound::PlaySoundRedirect = Platform::PlaySound;
  }

  // Fills row y with settled cells of colour `kleur`, leaving column `gap`
  // empty when it is an interior column.
  static void FillRow(std::uint32_t y, std::uint32_t kleur, std::uint32_t gap = 0) {
    for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
      if (x != gap) scherm[x][y] = {Stil, kleur};
    }
  }

  static std::uint32_t Filled(std::uint32_t y) {
    std::uint32_t n = 0;
    for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) n += scherm[x][y].Beweging != Leeg;
    return n;
  }
};

TEST_F(LinesTest, NoFullRowChangesNothingAndPlaysNothing) {
  FillRow(30, 4, 21);
  FillRow(29, 5, 1);
  const auto before = GameTest::Snapshot::Take();
  CheckLine();
  EXPECT_TRUE(GameTest::Snapshot::Take() == before);
  EXPECT_TRUE(soundCalls.empty());
}

TEST_F(LinesTest, BottomRowGoesAndEverythingComesDownWithItsColour) {
  FillRow(30, 4);
  scherm[5][29] = {Stil, 9};
  scherm[7][1] = {Stil, 3};
  score = 2;
  CheckLine();
  EXPECT_EQ(score, 3u);
  EXPECT_EQ(soundCalls, std::vector<std::string>{"wohoo.wav/131073"});
  EXPECT_EQ(scherm[5][30], (SquareType{Stil, 9}));
  EXPECT_EQ(scherm[7][2], (SquareType{Stil, 3}));
  EXPECT_EQ(Filled(30), 1u);
  EXPECT_EQ(Filled(1), 0u);
  // Row 1 is emptied by state only: the colours stay as they were.
  EXPECT_EQ(scherm[7][1].Kleur, 3u);
  EXPECT_TRUE(GameTest::PlayfieldInvariant());
}

TEST_F(LinesTest, TwoFullRowsWithAGapRowBetweenBothGo) {
  FillRow(30, 4);
  FillRow(29, 6, 11);
  FillRow(28, 8);
  CheckLine();
  EXPECT_EQ(score, 2u);
  EXPECT_EQ(soundCalls.size(), 2u);
  // The former row 29, its gap included, ends at the bottom.
  EXPECT_EQ(Filled(30), 20u);
  EXPECT_EQ(scherm[11][30].Beweging, Leeg);
  EXPECT_EQ(scherm[1][30], (SquareType{Stil, 6}));
  EXPECT_EQ(Filled(29), 0u);
}

TEST_F(LinesTest, FourFullRowsGoInOneCall) {
  for (std::uint32_t y = 27; y <= 30; ++y) FillRow(y, y - 20);
  FillRow(26, 2, 3);
  CheckLine();
  EXPECT_EQ(score, 4u);
  EXPECT_EQ(soundCalls.size(), 4u);
  EXPECT_EQ(Filled(30), 20u);
  EXPECT_EQ(scherm[4][30].Kleur, 2u);
  for (std::uint32_t y = 1; y <= 29; ++y) EXPECT_EQ(Filled(y), 0u) << "row " << y;
}

TEST_F(LinesTest, ARowThatComesDownIsNotTestedAgain) {
  // Rows 10 and 11 both full: removing 10 brings row 9 (not full) into 10,
  // then row 11 is found full in its turn.
  FillRow(10, 4);
  FillRow(11, 5);
  FillRow(9, 6, 2);
  CheckLine();
  EXPECT_EQ(score, 2u);
  EXPECT_EQ(Filled(11), 20u);
  EXPECT_EQ(scherm[3][11], (SquareType{Stil, 6}));
  EXPECT_EQ(Filled(10), 0u);
}

TEST_F(LinesTest, WallsAndMovingCellsCountAsFilledAndWallsNeverMove) {
  FillRow(30, 4, 8);
  scherm[8][30] = {Bewegend, 1};  // anything but Leeg fills
  CheckLine();
  EXPECT_EQ(score, 1u);
  EXPECT_TRUE(GameTest::PlayfieldInvariant());
}

TEST_F(LinesTest, SilentWhenSoundIsOff) {
  StandardSound::gActive = false;
  FillRow(30, 4);
  CheckLine();
  EXPECT_EQ(score, 1u);
  EXPECT_TRUE(soundCalls.empty());
}

}  // namespace
