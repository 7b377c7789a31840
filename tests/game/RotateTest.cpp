// Turning: every type in open space, the exact turned shapes, walls and
// settled cells, the shift-and-retry, and a centre left stale by a spawn.
#include "game/Rules.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

using namespace Game;
using namespace GameTest;

namespace {

using Rows = std::vector<std::string>;

class RotateTest : public FreshGame {};

struct Flags {
  bool rotate, left, right;
  bool operator==(const Flags&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Flags& f) {
  return os << "rotate " << f.rotate << " left " << f.left << " right " << f.right;
}
Flags TurnFlags() { return {empty_rotate, empty_left, empty_right}; }

TEST_F(RotateTest, SquareIsNeverTurned) {
  PlacePiece(0, 10, 10);
  scherm[12][10] = {Stil, 3};
  const StateSnapshot before = TakeState();
  RotateBlock();
  EXPECT_TRUE(empty_rotate);
  empty_rotate = before.empty_rotate;
  EXPECT_TRUE(before == TakeState());
}

TEST_F(RotateTest, EveryTypeComesBackAfterFourTurnsTheBarAfterTwo) {
  for (std::uint32_t type = 1; type < kPieceTypes; ++type) {
    SCOPED_TRACE(::testing::Message() << "type " << type);
    FillPlayfield();
    PlacePiece(type, 10, 10);
    for (std::uint32_t x = 10; x <= 12; ++x) {  // each cell its own colour
      for (std::uint32_t y = 10; y <= 13; ++y) scherm[x][y].Kleur = x * 100 + y;
    }
    const StateSnapshot before = TakeState();
    const Rows shape = Picture(9, 9, 5, 6);
    const std::uint32_t cells = FindMoving().count;
    const int turns = type == 6 ? 2 : 4;
    for (int n = 0; n < turns; ++n) {
      RotateBlock();
      ASSERT_TRUE(empty_rotate);
      if (n == 0) {
        EXPECT_NE(Picture(9, 9, 5, 6), shape);
      }
      EXPECT_EQ(FindMoving().count, cells);
      EXPECT_TRUE(PlayfieldInvariant());
    }
    EXPECT_EQ(Picture(9, 9, 5, 6), shape);
    for (std::uint32_t x = 10; x <= 12; ++x) {
      for (std::uint32_t y = 10; y <= 13; ++y) {
        if (IsMoving(scherm[x][y])) {
          EXPECT_EQ(scherm[x][y].Kleur, before.scherm[x][y].Kleur) << x << ", " << y;
        }
      }
    }
    EXPECT_EQ(xC, before.xC);
    EXPECT_EQ(yC, before.yC);
  }
}

TEST_F(RotateTest, TurnedShapes) {
  struct Case {
    std::uint32_t type;
    Rows turned;  // the 3 x 3 (the bar: 4 x 4) window from (xC - 1, yC - 1)
  };
  const Case cases[] = {
      {3, {".#.", "#C#", "..."}},                   // T: the stem now points up
      {1, {"...", ".C#", "##."}},                   // upright skew lies down
      {4, {"#..", "#C#", "..."}},
      {11, {"..#", ".C.", "#.."}},
      {6, {"....", "#C##", "....", "...."}},       // bar: lying from xC - 1 to xC + 2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type);
    FillPlayfield();
    PlacePiece(c.type, 10, 10);
    RotateBlock();
    EXPECT_EQ(Picture(xC - 1, yC - 1, c.turned.size(), c.turned.size()), c.turned);
  }
}

TEST_F(RotateTest, ColoursTurnWithTheCellsAndLeftCellsLoseTheirs) {
  PlacePiece(3, 10, 10, 5);  // T, centre (11, 11)
  scherm[12][11].Kleur = 3;  // the stem
  scherm[10][12] = {Stil, 4};  // settled cells in the window, none in the way
  scherm[12][12] = {Stil, 6};
  scherm[12][10] = {Stil, 8};
  scherm[11][13] = {Stil, 9};  // and one it rests on
  RotateBlock();
  EXPECT_TRUE(empty_rotate);
  EXPECT_EQ(scherm[11][10], (SquareType{Bewegend, 3}));  // the stem, now on top
  EXPECT_EQ(scherm[10][11], (SquareType{Bewegend, 5}));
  EXPECT_EQ(scherm[12][11], (SquareType{Bewegend, 5}));
  EXPECT_EQ(scherm[11][11], (SquareType{CBewegend, 5}));
  EXPECT_EQ(scherm[11][12], (SquareType{Leeg, 0}));  // unlike a move, a turn clears the colour
  EXPECT_EQ(scherm[10][12], (SquareType{Stil, 4}));
  EXPECT_EQ(scherm[12][12], (SquareType{Stil, 6}));
  EXPECT_EQ(scherm[12][10], (SquareType{Stil, 8}));
  EXPECT_EQ(scherm[11][13], (SquareType{Stil, 9}));
}

TEST_F(RotateTest, BlockedTurnWithNoOneWayOutChangesNothing) {
  PlacePiece(11, 9, 9);  // the diagonal, centre (10, 10)
  scherm[9][11] = {Stil, 4};  // where its top left cell would go
  StateSnapshot before = TakeState();
  RotateBlock();
  EXPECT_EQ(TurnFlags(), (Flags{false, true, true}));
  EXPECT_TRUE(before.scherm == scherm);

  scherm[8][9] = {Stil, 4};  // now neither side is free
  scherm[12][11] = {Stil, 4};
  before = TakeState();
  RotateBlock();
  EXPECT_EQ(TurnFlags(), (Flags{false, false, false}));
  EXPECT_TRUE(before.scherm == scherm);
  EXPECT_EQ(xC, 10u);
}

TEST_F(RotateTest, AgainstTheLeftWallTheTShiftsRightAndTurns) {
  PlacePiece(3, 0, 10);  // centre (1, 11), stem right
  RotateBlock();
  EXPECT_EQ(TurnFlags(), (Flags{true, false, true}));
  EXPECT_EQ(xC, 2u);
  EXPECT_EQ(Picture(1, 10, 3, 3), (Rows{".#.", "#C#", "..."}));
}

TEST_F(RotateTest, AgainstTheRightWallTheBarShiftsLeftAndStaysUpright) {
  PlacePiece(6, 21, 10);  // centre (21, 11)
  RotateBlock();
  EXPECT_EQ(TurnFlags(), (Flags{false, true, true}));
  EXPECT_EQ(xC, 20u);
  EXPECT_EQ(Picture(19, 10, 3, 4), (Rows{".#.", ".C.", ".#.", ".#."}));
  const StateSnapshot before = TakeState();
  RotateBlock();
  EXPECT_TRUE(before == TakeState());
}

TEST_F(RotateTest, BarInATwoColumnShaftStopsShiftingBack) {
  for (std::uint32_t y = 1; y <= 30; ++y) {
    scherm[9][y] = {Stil, 4};
    scherm[12][y] = {Stil, 4};
  }
  PlacePiece(6, 10, 10);
  RotateBlock();  // right, then left would be free only: stays after one shift
  EXPECT_EQ(TurnFlags(), (Flags{false, true, false}));
  EXPECT_EQ(xC, 11u);
  EXPECT_EQ(Picture(10, 10, 2, 4), (Rows{".#", ".C", ".#", ".#"}));
  RotateBlock();  // and the next turn takes it back
  EXPECT_EQ(TurnFlags(), (Flags{false, false, true}));
  EXPECT_EQ(xC, 10u);
  EXPECT_EQ(Picture(10, 10, 2, 4), (Rows{"#.", "C.", "#.", "#."}));
  EXPECT_TRUE(PlayfieldInvariant());
}

// A spawn whose centre lands on a settled cell leaves xC, yC at the last
// piece's centre, and the moves go on shifting them: below the floor, or
// left of column 0 where they wrap round.
TEST_F(RotateTest, StaleCentreNeverTakesTheTurnOutOfTheGrid) {
  for (auto [staleX, staleY] : {std::pair{0u, 0u}, {21u, 30u}}) {
    SCOPED_TRACE(::testing::Message() << "stale centre " << staleX << ", " << staleY);
    FillPlayfield();
    gSeed = 0;  // type 1 at columns 11 and 12, centre (12, 2)
    scherm[12][2] = {Stil, 4};
    xC = staleX;
    yC = staleY;
    InsertBlock();
    ASSERT_TRUE(game_over);
    ASSERT_EQ(xC, staleX);
    const std::uint32_t cells = FindMoving().count;
    ASSERT_EQ(cells, 3u);
    bool outside = false;  // the centre left the grid at some point
    auto step = [&](const char* what) {
      outside = outside || xC >= kColumns || yC >= kRows;
      RotateBlock();
      ASSERT_TRUE(PlayfieldInvariant()) << what;
      ASSERT_EQ(FindMoving().count, cells) << what;
    };
    while (CheckLeft()) {
      MoveLeft();
      step("left");
    }
    while (CheckUnder()) {
      DropBlock();
      step("down");
    }
    while (CheckRight()) {
      MoveRight();
      step("right");
    }
    EXPECT_TRUE(outside);
  }
}

TEST_F(RotateTest, TurnAboutAStaleCentreNeverCarriesACellOverTheFloor) {
  struct Case {
    std::uint32_t type, centreX, centreY, cellX, cellY;
  };
  // Each cell's turned place would be in the spare row 32, behind the floor.
  for (const Case& c : {Case{1, 10, 31, 9, 30}, Case{6, 10, 30, 12, 30}}) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type);
    FillPlayfield();
    typegetal = c.type;
    xC = c.centreX;
    yC = c.centreY;
    scherm[c.cellX][c.cellY] = {Bewegend, 5};
    RotateBlock();
    EXPECT_FALSE(empty_rotate);
    EXPECT_EQ(scherm[c.cellX][c.cellY], (SquareType{Bewegend, 5}));
    EXPECT_TRUE(PlayfieldInvariant());
  }
}

}  // namespace
