// The back buffer as terminal cells, drawn through Graph on the null window:
// squares sampled in their middles, two columns each; texts as text at
// their rounded places and in their colours, gone once painted over.
#include "graph/Graph.h"
#include "graph/Server.h"
#include "graph/TermMap.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

using Platform::TermCell;

constexpr std::uint32_t kBlack = 0x000000, kGreen = 0x00B000, kCyan = 0x008080, kRed = 0xFF0000,
                        kYellow = 0xFFFF00, kWhite = 0xFFFFFF;

class TermMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Graph::SelectNullWindow();
    ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  }

  std::vector<TermCell> Cells() {
    std::vector<TermCell> cells;
    std::lock_guard lock(Graph::Server::SurfaceLock());
    Graph::TermMap::Map(Graph::Server::BackBuffer(), cells);
    return cells;
  }
  static const TermCell& At(const std::vector<TermCell>& cells, std::uint32_t column, std::uint32_t row) {
    return cells[row * 74 + column];
  }
  // Row `row` from `column` on, `n` characters.
  static std::string Text(const std::vector<TermCell>& cells, std::uint32_t column, std::uint32_t row, std::size_t n) {
    std::string s;
    for (std::size_t k = 0; k < n; ++k) s += At(cells, column + static_cast<std::uint32_t>(k), row).ch;
    return s;
  }
};

TEST_F(TermMapTest, EachSquareIsTwoColumnsOfTheColourInItsMiddle) {
  EXPECT_EQ(Graph::TermMap::GridFor(555, 600).columns, 74u);
  EXPECT_EQ(Graph::TermMap::GridFor(555, 600).rows, 40u);
  Graph::Rectangle(15 * 3 + 1, 15 * 2 + 1, 15 * 4, 15 * 3, 2, true);   // square (3, 2) green
  Graph::Rectangle(15 * 36 + 1, 15 * 39 + 1, 554, 599, 12, true);       // the last square red
  Graph::Plot(15 * 5 + 8, 15 * 7 + 8, 14);                              // only the middle of (5, 7)
  Graph::Plot(15 * 9, 15 * 9, 15);                                      // a lattice dot on a corner
  Graph::Rectangle(15 * 20 + 1, 15 * 20 + 1, 15 * 21, 15 * 21, 3, false);  // an outline: the middle stays
  const auto cells = Cells();
  ASSERT_EQ(cells.size(), 74u * 40u);
  for (std::uint32_t r = 0; r < 40; ++r) {
    for (std::uint32_t k = 0; k < 37; ++k) {
      std::uint32_t want = kBlack;
      if (k == 3 && r == 2) want = kGreen;
      if (k == 36 && r == 39) want = kRed;
      if (k == 5 && r == 7) want = kYellow;
      for (std::uint32_t c : {2 * k, 2 * k + 1}) {
        ASSERT_EQ(At(cells, c, r).ch, ' ') << c << ", " << r;
        ASSERT_EQ(At(cells, c, r).bg, want) << c << ", " << r;
      }
    }
  }
}

TEST_F(TermMapTest, TextShowsAtItsRoundedPlaceInItsColoursOverTheBlocks) {
  Graph::Rectangle(0, 0, 554, 599, 2, true);
  Graph::RawOutText(30, 30, 14, "Instructies");            // column 4, row 2
  Graph::RawOutText(25, 450, 12, "Uw score was:");         // 3.33 and 30
  Graph::RawOutText(170, 450, 12, "0");                    // 22.67 and 30
  Graph::RawOutText(40, 255, 13, "te be\xEBindigen");       // code page 1252 kept
  Graph::SetBkMix(false);
  Graph::RawOutText(20, 520, 3, "x");                      // 2.67 and 34.67: transparent
  const auto cells = Cells();
  EXPECT_EQ(Text(cells, 4, 2, 11), "Instructies");
  EXPECT_EQ(At(cells, 3, 2).ch, ' ');
  EXPECT_EQ(At(cells, 15, 2).ch, ' ');
  EXPECT_EQ(At(cells, 4, 2).fg, kYellow);
  EXPECT_EQ(At(cells, 4, 2).bg, kBlack) << "opaque text on its background";
  EXPECT_EQ(At(cells, 3, 2).bg, kGreen);
  EXPECT_EQ(Text(cells, 3, 30, 13), "Uw score was:");
  EXPECT_EQ(At(cells, 23, 30).ch, '0');
  EXPECT_EQ(At(cells, 23, 30).fg, kRed);
  EXPECT_EQ(Text(cells, 5, 17, 13), "te be\xEBindigen");
  EXPECT_EQ(At(cells, 3, 35).ch, 'x');
  EXPECT_EQ(At(cells, 3, 35).fg, kCyan);
  EXPECT_EQ(At(cells, 3, 35).bg, kGreen) << "transparent text on the square's colour";
}

TEST_F(TermMapTest, TextPaintedOverGoesAndALaterTextWins) {
  Graph::RawOutText(30, 30, 14, "Instructies");
  Graph::RawOutText(390, 50, 3, "Score: ");
  Graph::RawOutText(450, 50, 3, "7");
  // The last characters' pixels covered: those characters go, the others stay.
  Graph::Rectangle(30 + 8 * 8, 30, 30 + 8 * 11 - 1, 45, 0, true);
  // The score written again over the old digits: the new ones show.
  Graph::RawOutText(450, 50, 3, "12");
  // Drawn again just as it was: still there.
  Graph::RawOutText(390, 50, 3, "Score: ");
  const auto cells = Cells();
  EXPECT_EQ(Text(cells, 4, 2, 11), "Instruct   ");
  EXPECT_EQ(Text(cells, 52, 3, 11), "Score:  12 ");
  // Cleared: every text goes.
  Graph::ClearScreen(0);
  const auto cleared = Cells();
  for (const TermCell& c : cleared) ASSERT_EQ(c.ch, ' ');
}

TEST_F(TermMapTest, TextPaintedOverInItsOwnColoursGoesToo) {
  Graph::Rectangle(91, 106, 105, 120, 14, true);  // square (6, 7) yellow
  Graph::RawOutText(100, 100, 15, " ");           // a space on black over part of it: column 13
  EXPECT_EQ(At(Cells(), 12, 7).bg, kYellow);
  EXPECT_EQ(At(Cells(), 13, 7).bg, kBlack);
  Graph::Rectangle(100, 100, 107, 115, 0, true);  // its box, black on black: no pixel changes
  EXPECT_EQ(At(Cells(), 13, 7).bg, kYellow) << "the square shows again";
}

TEST_F(TermMapTest, TextPastTheRightEdgeIsCut) {
  Graph::RawOutText(540, 100, 15, "abcdefgh");  // column 72: two fit
  const auto cells = Cells();
  EXPECT_EQ(Text(cells, 72, 7, 2), "ab");
  EXPECT_EQ(At(cells, 72, 7).fg, kWhite);
}

}  // namespace
