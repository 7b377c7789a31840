// The play keys on the rules: what each does to the piece and the interval,
// and what it asks to be redrawn.
#include "game/Rules.h"
#include "tests/support/GameState.h"

#include <gtest/gtest.h>

namespace {

using namespace Game;

class KeysTest : public GameTest::FreshGame {
 protected:
  void SetUp() override {
    FreshGame::SetUp();
    droprate = 500;
    InsertBlock();  // the first piece: type 1, centre (12, 2)
  }
};

TEST_F(KeysTest, MovesAndTurnsAskForTheCellsAroundThePiece) {
  EXPECT_EQ(PlayKey('4'), Redraw::AroundPiece);
  EXPECT_EQ(xC, 11u);
  EXPECT_EQ(PlayKey('6'), Redraw::AroundPiece);
  EXPECT_EQ(xC, 12u);
  EXPECT_EQ(PlayKey('2'), Redraw::AroundPiece);
  EXPECT_EQ(yC, 3u);
  EXPECT_EQ(PlayKey('5'), Redraw::AroundPiece);
  EXPECT_TRUE(empty_rotate);
}

TEST_F(KeysTest, ZeroDropsToTheFloorAndAsksForTheWholeBoard) {
  EXPECT_EQ(PlayKey('0'), Redraw::Whole);
  EXPECT_FALSE(empty_under);
  EXPECT_EQ(yC, 29u);  // the lowest cell, one row under the centre, on row 30
}

TEST_F(KeysTest, OneShortensTheIntervalOnlyAbove200AndDrawsNothing) {
  EXPECT_EQ(PlayKey('1'), Redraw::None);
  EXPECT_EQ(droprate, 300u);
  PlayKey('1');
  EXPECT_EQ(droprate, 180u);
  PlayKey('1');
  EXPECT_EQ(droprate, 180u);
}

TEST_F(KeysTest, QAndOtherKeysChangeNothingAtOnce) {
  const auto before = Game::TakeState();
  for (char key : {'q', '3', 'a', '\0'}) EXPECT_EQ(PlayKey(key), Redraw::None) << int{key};
  EXPECT_TRUE(Game::TakeState() == before);
}

}  // namespace
