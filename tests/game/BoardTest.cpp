// The board on the picture with no view: the empty board's frame, the
// redraw window around the centre (also for a stale centre), the colour of
// empty cells.
#include "game/Board.h"
#include "graph/Graph.h"
#include "../support/GameState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>

namespace {

using Game::kCellSize;
using Game::scherm;

constexpr std::uint32_t kGround = 0xC0C0C0;  // colour 7
constexpr std::uint32_t kRed = 0xFF0000;     // colour 12

class BoardTest : public GameTest::FreshGame {
 protected:
  void SetUp() override {
    FreshGame::SetUp();
    Graph::SelectHeadless();
    Game::FillScreen();
    ASSERT_EQ(Graph::ReadBackBuffer().size(), 555u * 600u);
    // A ground of colour 7: whatever a redraw does not touch keeps it.
    Graph::Rectangle(0, 0, 554, 599, 7, true);
  }
};

TEST_F(BoardTest, EmptyBoardIsAFrameOfColour12AroundA21By30AreaOfColour0) {
  Game::DrawFullScreen();
  for (std::uint32_t y = 0; y < 600; ++y) {
    for (std::uint32_t x = 0; x < 555; ++x) {
      std::uint32_t want = kGround;
      if (x >= 1 && x <= 345 && y >= 1 && y <= 480) {
        const bool frame = x <= 15 || x >= 331 || y <= 15 || y >= 466;
        want = frame ? kRed : 0;
      }
      ASSERT_EQ(Graph::Pixel(x, y), want) << "pixel " << x << ", " << y;
    }
  }
}

TEST_F(BoardTest, EmptyCellIsBlackWhateverItsColourSettledAndFallingCellsShowTheirs) {
  scherm[5][5] = {Game::Leeg, 9};
  scherm[6][5] = {Game::Stil, 9};
  scherm[7][5] = {Game::Bewegend, 4};
  scherm[8][5] = {Game::CBewegend, 4};
  Game::DrawFullScreen();
  EXPECT_EQ(Graph::Pixel(5 * kCellSize + 8, 5 * kCellSize + 8), 0u);
  EXPECT_EQ(Graph::Pixel(6 * kCellSize + 8, 5 * kCellSize + 8), 0x0000FFu);
  EXPECT_EQ(Graph::Pixel(7 * kCellSize + 8, 5 * kCellSize + 8), 0xB00000u);
  EXPECT_EQ(Graph::Pixel(8 * kCellSize + 15, 5 * kCellSize + 15), 0xB00000u);  // corner to corner, no gap
  EXPECT_EQ(Graph::Pixel(8 * kCellSize + 16, 5 * kCellSize + 8), 0u);
}

// The cells a DrawScreen repaints, as "first..last" of columns and rows,
// read back from the pixels: a repainted cell is wholly off the ground, any
// other wholly on it.
std::string Redrawn() {
  std::set<std::uint32_t> columns, rows;
  for (std::uint32_t x = 0; x < Game::kColumns; ++x) {
    for (std::uint32_t y = 0; y < Game::kRows; ++y) {
      std::uint32_t painted = 0;
      for (std::uint32_t py = y * kCellSize + 1; py <= (y + 1) * kCellSize; ++py)
        for (std::uint32_t px = x * kCellSize + 1; px <= (x + 1) * kCellSize; ++px) painted += Graph::Pixel(px, py) != kGround;
      if (painted == 0) continue;
      if (painted != 225) return "cell " + std::to_string(x) + "," + std::to_string(y) + " half painted";
      columns.insert(x);
      rows.insert(y);
    }
  }
  if (columns.empty()) return "nothing";
  return std::to_string(*columns.begin()) + ".." + std::to_string(*columns.rbegin()) + " x " +
         std::to_string(*rows.begin()) + ".." + std::to_string(*rows.rbegin());
}

struct WindowCase {
  std::uint32_t xC, yC;
  const char* redrawn;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
  *os << "centre (" << static_cast<std::int32_t>(c.xC) << ", " << c.yC << ")";
}

class DrawScreenTest : public BoardTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(DrawScreenTest, RedrawsTheWindowAroundTheCentreCutToTheGrid) {
  Game::xC = GetParam().xC;
  Game::yC = GetParam().yC;
  Game::DrawScreen();
  EXPECT_EQ(Redrawn(), GetParam().redrawn);
}

INSTANTIATE_TEST_SUITE_P(
    Centres, DrawScreenTest,
    ::testing::Values(
        // Two columns left, three right, two rows up and down; from column 0
        // when the centre is in column 1.
        WindowCase{12, 2, "10..15 x 0..4"}, WindowCase{1, 10, "0..4 x 8..12"}, WindowCase{2, 10, "0..5 x 8..12"},
        WindowCase{3, 10, "1..6 x 8..12"},
        // At the right wall and the floor: beyond them the guard column and
        // the spare column and row, drawn as they are (colour 0).
        WindowCase{21, 30, "19..24 x 28..32"},
        // Stale centres: never set, shifted left past column 0 (wrapped),
        // or beyond the grid. Whatever they hold, the window stays inside.
        WindowCase{0, 0, "0..3 x 0..2"}, WindowCase{0xFFFFFFFFu, 1, "0..2 x 0..3"},
        WindowCase{0xFFFFFFFDu, 5, "0..0 x 3..7"}, WindowCase{24, 32, "22..24 x 30..32"},
        WindowCase{0xFFFFFFFCu, 5, "nothing"}, WindowCase{100, 100, "nothing"}));

TEST_F(BoardTest, RedrawBeyondTheRightWallShowsWhatThoseCellsHold) {
  Game::xC = 21;
  Game::yC = 15;
  Game::DrawScreen();
  EXPECT_EQ(Graph::Pixel(22 * kCellSize + 8, 15 * kCellSize + 8), kRed);  // the wall
  EXPECT_EQ(Graph::Pixel(23 * kCellSize + 8, 15 * kCellSize + 8), 0u);    // guard column: settled, no colour of its own
  EXPECT_EQ(Graph::Pixel(24 * kCellSize + 8, 15 * kCellSize + 8), 0u);    // spare column, never written
  scherm[23][15].Kleur = 10;
  Game::DrawScreen();
  EXPECT_EQ(Graph::Pixel(23 * kCellSize + 8, 15 * kCellSize + 8), 0x00FF00u);
}

}  // namespace
