// Moving and landing: the three checks, the three moves and AllStop.
#include "game/Rules.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

using namespace Game;
using namespace GameTest;

namespace {

class MovesTest : public FreshGame {};

struct Checks {
  bool left, right, under;
  bool operator==(const Checks&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Checks& c) {
  return os << "left " << c.left << " right " << c.right << " under " << c.under;
}
Checks Check() { return {CheckLeft(), CheckRight(), CheckUnder()}; }

TEST_F(MovesTest, WallsAndFloorStopThePieceOnTheirSideOnly) {
  Draw(1, 10, {"#C"});
  EXPECT_EQ(Check(), (Checks{false, true, true}));
  FillPlayfield();
  Draw(20, 10, {"#C"});
  EXPECT_EQ(Check(), (Checks{true, false, true}));
  FillPlayfield();
  Draw(10, 29, {"#C", ".#"});
  EXPECT_EQ(Check(), (Checks{true, true, false}));
}

TEST_F(MovesTest, OnlyStilNeighboursBlock) {
  Draw(5, 10, {"#.C"});
  scherm[6][10].Kleur = 9;  // an empty cell with an old colour
  scherm[4][11] = {Stil, 4};  // diagonal neighbours do not count
  scherm[8][9] = {Stil, 4};
  EXPECT_EQ(Check(), (Checks{true, true, true}));
  scherm[6][10].Beweging = Bewegend;  // the piece's own cells do not block
  EXPECT_EQ(Check(), (Checks{true, true, true}));
  scherm[6][10].Beweging = Stil;
  EXPECT_EQ(Check(), (Checks{false, false, true}));
  scherm[7][11] = {Stil, 4};  // one cell resting on something is enough
  EXPECT_FALSE(CheckUnder());
}

TEST_F(MovesTest, ChecksChangeNothingAndWithoutAPieceNothingFalls) {
  Draw(1, 1, {"SSS", "S.S", "SSS"});
  EXPECT_TRUE(PlayfieldInvariant());
  const StateSnapshot before = TakeState();
  EXPECT_EQ(Check(), (Checks{true, true, false}));
  EXPECT_TRUE(before == TakeState());
  Draw(10, 10, {"#C"});
  const StateSnapshot withPiece = TakeState();
  Check();
  EXPECT_TRUE(withPiece == TakeState());
  scherm = before.scherm;
  AllStop();
  EXPECT_TRUE(before == TakeState());
}

// Three cells in a row, each its own colour, centre in the middle.
void PutRow(std::uint32_t x, std::uint32_t y) {
  scherm[x][y] = {Bewegend, 1};
  scherm[x + 1][y] = {CBewegend, 2};
  scherm[x + 2][y] = {Bewegend, 3};
  xC = x + 1;
  yC = y;
}

TEST_F(MovesTest, MoveRightCarriesEveryCellWithItsColour) {
  PutRow(5, 10);
  MoveRight();
  EXPECT_EQ(scherm[6][10], (SquareType{Bewegend, 1}));
  EXPECT_EQ(scherm[7][10], (SquareType{CBewegend, 2}));
  EXPECT_EQ(scherm[8][10], (SquareType{Bewegend, 3}));
  EXPECT_EQ(scherm[5][10], (SquareType{Leeg, 1}));  // the colour stays behind
  EXPECT_EQ(xC, 7u);
  EXPECT_EQ(yC, 10u);
  EXPECT_TRUE(PlayfieldInvariant());
}

TEST_F(MovesTest, MoveLeftCarriesEveryCellWithItsColour) {
  PutRow(5, 10);
  MoveLeft();
  EXPECT_EQ(scherm[4][10], (SquareType{Bewegend, 1}));
  EXPECT_EQ(scherm[5][10], (SquareType{CBewegend, 2}));
  EXPECT_EQ(scherm[6][10], (SquareType{Bewegend, 3}));
  EXPECT_EQ(scherm[7][10], (SquareType{Leeg, 3}));
  EXPECT_EQ(xC, 5u);
  EXPECT_TRUE(PlayfieldInvariant());
}

TEST_F(MovesTest, DropBlockCarriesAColumnAndEmptiesItsTopRow) {
  PlacePiece(6, 5, 1);  // the bar, rows 1..4, centre (5, 2)
  for (std::uint32_t y = 1; y <= 4; ++y) scherm[5][y].Kleur = y;
  DropBlock();
  EXPECT_EQ(scherm[5][1], (SquareType{Leeg, 1}));
  EXPECT_EQ(scherm[5][2], (SquareType{Bewegend, 1}));
  EXPECT_EQ(scherm[5][3], (SquareType{CBewegend, 2}));
  EXPECT_EQ(scherm[5][4], (SquareType{Bewegend, 3}));
  EXPECT_EQ(scherm[5][5], (SquareType{Bewegend, 4}));
  EXPECT_EQ(xC, 5u);
  EXPECT_EQ(yC, 3u);
  EXPECT_TRUE(PlayfieldInvariant());
}

TEST_F(MovesTest, MovesKeepSettledCellsBesideThePiece) {
  PlacePiece(9, 10, 10);  // the H, whose gap holds a settled cell
  scherm[11][10] = {Stil, 4};
  DropBlock();
  EXPECT_EQ(scherm[11][10], (SquareType{Stil, 4}));
  EXPECT_EQ(Picture(10, 11, 3, 3), (std::vector<std::string>{"#.#", "#C#", "#.#"}));
}

TEST_F(MovesTest, AllStopSettlesThePieceInItsColours) {
  PutRow(5, 30);
  AllStop();
  EXPECT_EQ(scherm[5][30], (SquareType{Stil, 1}));
  EXPECT_EQ(scherm[6][30], (SquareType{Stil, 2}));
  EXPECT_EQ(scherm[7][30], (SquareType{Stil, 3}));
  EXPECT_EQ(FindMoving().count, 0u);
  EXPECT_TRUE(PlayfieldInvariant());
}

TEST_F(MovesTest, ScansLookAtTheInteriorOnly) {
  scherm[24][5] = {Bewegend, 1};  // spare column, beside the settled guard column
  scherm[5][32] = {Bewegend, 1};  // spare row, nothing below it
  EXPECT_EQ(Check(), (Checks{true, true, false}));
  MoveLeft();
  DropBlock();
  AllStop();
  EXPECT_EQ(scherm[24][5], (SquareType{Bewegend, 1}));
  EXPECT_EQ(scherm[5][32], (SquareType{Bewegend, 1}));
}

}  // namespace
