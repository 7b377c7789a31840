// The piece table and spawning: the 14 shapes, the first pieces of every
// run, and spawns onto settled cells.
#include "game/Rules.h"
#include "tests/support/GameState.h"
#include "tests/support/PlayfieldInvariant.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Game;
using namespace GameTest;

namespace {

class PiecesTest : public FreshGame {};

// The box of a type, rows top to bottom joined by '|'.
std::string Shape(std::uint32_t type) {
  std::string s;
  for (std::uint32_t b = 1; b <= 4; ++b) {
    if (b > 1) s += '|';
    for (std::uint32_t a = 1; a <= 3; ++a) s += Mark(arr[type][a][b].Beweging);
  }
  return s;
}

TEST_F(PiecesTest, TableHoldsTheFourteenShapes) {
  const char* expected[kPieceTypes] = {
      "##.|#C.|...|...", "#..|#C.|.#.|...", ".#.|C#.|#..|...", ".#.|.C#|.#.|...", ".##|.C.|.#.|...",
      "##.|.C.|.#.|...", "#..|C..|#..|#..", "##.|.C.|.##|...", "##.|#C.|..#|...", "#.#|#C#|#.#|...",
      ".##|#C.|#..|...", "#..|.C.|..#|...", ".#.|#C.|...|...", "#.#|#C#|.#.|...",
  };
  int entries = 0;
  for (std::uint32_t t = 0; t < kPieceTypes; ++t) {
    EXPECT_EQ(Shape(t), expected[t]) << "type " << t;
    for (std::uint32_t a = 1; a <= 3; ++a) {
      for (std::uint32_t b = 1; b <= 4; ++b) {
        EXPECT_EQ(arr[t][a][b].Kleur, 0u);
        entries += arr[t][a][b].Beweging != Leeg;
      }
    }
  }
  EXPECT_EQ(entries, 62);
}

TEST_F(PiecesTest, FirstTenPiecesOfEveryRun) {
  struct Piece {
    std::uint32_t type, kleur, startx;
  };
  const Piece expected[] = {{1, 15, 10}, {2, 12, 13}, {2, 2, 17}, {5, 10, 8}, {11, 7, 12},
                            {6, 6, 15},  {7, 4, 15},  {3, 9, 3},  {9, 14, 4}, {5, 10, 6}};
  for (const Piece& p : expected) {
    SCOPED_TRACE(::testing::Message() << "piece " << p.type << ", " << p.kleur << ", " << p.startx);
    FillPlayfield();
    InsertBlock();
    EXPECT_EQ(typegetal, p.type);
    EXPECT_FALSE(game_over);
    // The box stands at columns startx + 1..3, rows 1..4, in the piece's colour.
    std::string placed;
    for (std::uint32_t y = 1; y <= 4; ++y) {
      if (y > 1) placed += '|';
      for (std::uint32_t x = p.startx + 1; x <= p.startx + 3; ++x) {
        placed += Mark(scherm[x][y].Beweging);
        if (scherm[x][y].Beweging != Leeg) {
          EXPECT_EQ(scherm[x][y].Kleur, p.kleur);
        }
      }
    }
    EXPECT_EQ(placed, Shape(p.type));
    const auto cells = std::count_if(placed.begin(), placed.end(), [](char c) { return c == '#' || c == 'C'; });
    EXPECT_EQ(FindMoving().count, static_cast<std::uint32_t>(cells));  // nothing outside the box
    EXPECT_EQ(scherm[xC][yC].Beweging, CBewegend);
    EXPECT_EQ(yC, 2u);
    EXPECT_TRUE(PlayfieldInvariant());
  }
}

TEST_F(PiecesTest, FirstPieceCells) {
  InsertBlock();
  EXPECT_EQ(Picture(11, 1, 2, 3), (std::vector<std::string>{"#.", "#C", ".#"}));
  for (auto [x, y] : {std::pair{11u, 1u}, {11u, 2u}, {12u, 3u}, {12u, 2u}}) EXPECT_EQ(scherm[x][y].Kleur, 15u);
  EXPECT_EQ(xC, 12u);
  EXPECT_EQ(yC, 2u);
}

// The first piece (type 1, colour 15) covers the box columns 11..13, rows 1..4.
TEST_F(PiecesTest, SettledCellsUnderEmptyBoxEntriesDoNotEndTheGame) {
  scherm[13][1] = {Stil, 5};
  scherm[12][1] = {Stil, 6};
  scherm[13][4] = {Leeg, 9};  // an empty entry over an empty cell: the colour goes
  scherm[14][4] = {Leeg, 9};  // outside the box
  InsertBlock();
  EXPECT_FALSE(game_over);
  EXPECT_EQ(scherm[13][1], (SquareType{Stil, 5}));
  EXPECT_EQ(scherm[12][1], (SquareType{Stil, 6}));
  EXPECT_EQ(scherm[13][4], (SquareType{Leeg, 0}));
  EXPECT_EQ(scherm[14][4], (SquareType{Leeg, 9}));
  EXPECT_EQ(FindMoving().count, 4u);
}

TEST_F(PiecesTest, SpawnOntoASettledCellEndsTheGameAndRecoloursIt) {
  scherm[11][1] = {Stil, 5};
  InsertBlock();
  EXPECT_TRUE(game_over);
  EXPECT_EQ(scherm[11][1], (SquareType{Stil, 15}));
  EXPECT_EQ(Picture(11, 1, 2, 3), (std::vector<std::string>{"S.", "#C", ".#"}));
  EXPECT_EQ(xC, 12u);
  EXPECT_EQ(yC, 2u);
}

TEST_F(PiecesTest, CentreOnASettledCellLeavesTheOldCentre) {
  scherm[12][2] = {Stil, 5};
  xC = 7;
  yC = 9;
  InsertBlock();
  EXPECT_TRUE(game_over);
  EXPECT_EQ(scherm[12][2], (SquareType{Stil, 15}));
  EXPECT_EQ(Picture(11, 1, 2, 3), (std::vector<std::string>{"#.", "#S", ".#"}));
  EXPECT_EQ(xC, 7u);
  EXPECT_EQ(yC, 9u);
  EXPECT_TRUE(PlayfieldInvariant());  // no centre cell at all now
}

TEST_F(PiecesTest, SpawnWhollyOnSettledCellsLeavesNothingToFall) {
  for (auto [x, y] : {std::pair{11u, 1u}, {11u, 2u}, {12u, 2u}, {12u, 3u}}) scherm[x][y] = {Stil, 5};
  InsertBlock();
  EXPECT_TRUE(game_over);
  EXPECT_EQ(FindMoving().count, 0u);
  EXPECT_FALSE(CheckUnder());  // so the piece lands at once and the game can end
}

TEST_F(PiecesTest, NewPlayfieldHasWallsAndAnEmptyInterior) {
  scherm[5][5] = {Stil, 4};
  scherm[21][30] = {Bewegend, 4};
  FillPlayfield();
  int empty = 0;
  for (std::uint32_t x = kInteriorLeft; x <= kInteriorRight; ++x) {
    for (std::uint32_t y = kInteriorTop; y <= kInteriorBottom; ++y) empty += scherm[x][y].Beweging == Leeg;
  }
  EXPECT_EQ(empty, 21 * 30);
  EXPECT_EQ(scherm[5][5].Kleur, 4u);  // colours of the interior are left alone
  EXPECT_EQ(scherm[kGuardColumn][0], (SquareType{Stil, 0}));
  EXPECT_EQ(scherm[kGuardColumn][32], (SquareType{Leeg, 0}));
  EXPECT_EQ(scherm[24][10], (SquareType{Leeg, 0}));
  EXPECT_EQ(scherm[22][31], (SquareType{Stil, 12}));
  EXPECT_TRUE(PlayfieldInvariant());
}

TEST(GameInitTest, FillsTheTableAndSetsNewgameOnce) {
  arr = {};
  newgame = '\0';
  Init();
  EXPECT_EQ(arr[9][2][2].Beweging, CBewegend);
  EXPECT_EQ(newgame, 'n');
  arr = {};
  Init();
  EXPECT_EQ(arr[9][2][2].Beweging, Leeg);
}

}  // namespace
