// The back buffer as terminal cells, drawn through Graph with no view:
// texts as text in their colours, gone once anything is painted over them.
#include "graph/Graph.h"
#include "graph/Picture.h"
#include "graph/TermMap.h"
#include "graph/TextLayer.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

using Platform::TermCell;

constexpr std::uint32_t kBlack = 0x000000, kGreen = 0x00B000, kCyan = 0x008080, kYellow = 0xFFFF00,
                        kWhite = 0xFFFFFF;

class TermMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Graph::SelectHeadless();
    ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
    std::lock_guard lock(Graph::Picture::SurfaceLock());
    Graph::TextLayer::Keep(true);  // as the terminal view keeps them
  }

  // The game's mosaic: 15-pixel squares from pixel 1.
  static Graph::Picture::Facts Mosaic() {
    Graph::Picture::Facts facts;
    facts.square = 15;
    facts.origin = 1;
    return facts;
  }
  std::vector<TermCell> Cells() {
    std::vector<TermCell> cells;
    std::lock_guard lock(Graph::Picture::SurfaceLock());
    Graph::TermMap::Map(Graph::Picture::Canvas(), Mosaic(), cells);
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

// Where the game's texts go and how they look is held against real captures
// in tests/e2e/stackfall_termview_e2e.sh; here what the game never does.
TEST_F(TermMapTest, TransparentTextShowsOnTheSquareAndTextPastTheEdgeIsCut) {
  Graph::Rectangle(0, 0, 554, 599, 2, true);
  Graph::SetBkMix(false);
  Graph::RawOutText(20, 520, 3, "x");          // 2.67 and 34.67
  Graph::SetBkMix(true);
  Graph::RawOutText(540, 100, 15, "abcdefgh");  // column 72: two fit
  const auto cells = Cells();
  EXPECT_EQ(At(cells, 3, 35).ch, 'x');
  EXPECT_EQ(At(cells, 3, 35).fg, kCyan);
  EXPECT_EQ(At(cells, 3, 35).bg, kGreen);
  EXPECT_EQ(Text(cells, 72, 7, 2), "ab");
  EXPECT_EQ(At(cells, 72, 7).fg, kWhite);
  EXPECT_EQ(At(cells, 72, 7).bg, kBlack);
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

}  // namespace

// The compact layout: two squares a cell, the texts kept apart and in order.
class CompactMapTest : public TermMapTest {
 protected:
  static constexpr std::uint32_t kWidth = 80;
  std::vector<TermCell> Cells() {
    std::vector<TermCell> cells;
    std::lock_guard lock(Graph::Picture::SurfaceLock());
    Graph::TermMap::MapCompact(Graph::Picture::Canvas(), Mosaic(), kWidth, cells);
    return cells;
  }
  static const TermCell& At(const std::vector<TermCell>& cells, std::uint32_t column, std::uint32_t row) {
    return cells[row * kWidth + column];
  }
  static std::string Row(const std::vector<TermCell>& cells, std::uint32_t row) {
    std::string s;
    for (std::uint32_t k = 0; k < kWidth; ++k) {
      const TermCell& c = At(cells, k, row);
      s += c.upperHalf ? (c.fg || c.bg ? '#' : ' ') : c.ch;
    }
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
};

TEST_F(CompactMapTest, TwoSquaresACellAndTextsThatNeverOverwriteOneAnother) {
  Graph::Rectangle(16, 1, 30, 15, 14, true);   // square (1, 0): yellow over
  Graph::Rectangle(16, 16, 30, 30, 2, true);   // square (1, 1): green
  Graph::Rectangle(0, 586, 554, 599, 0, true);
  auto cells = Cells();
  ASSERT_EQ(cells.size(), 80u * 20);
  EXPECT_TRUE(At(cells, 1, 0).upperHalf);
  EXPECT_EQ(At(cells, 1, 0).fg, kYellow);
  EXPECT_EQ(At(cells, 1, 0).bg, kGreen);

  // Lines 25 pixels apart, closer than a row of 30: each below the one above.
  Graph::RawOutText(50, 105, 9, "4 om naar links te bewegen");
  Graph::RawOutText(50, 130, 9, "6 om naar rechts te bewegen");
  Graph::RawOutText(50, 155, 9, "5 om het blokje te roteren");
  // A text that goes on after another on its line, and one off the picture's
  // bottom rows once pushed down.
  Graph::RawOutText(390, 50, 3, "Score: ");
  Graph::RawOutText(450, 50, 3, "7");
  Graph::RawOutText(20, 555, 3, "first");
  Graph::RawOutText(20, 580, 3, "second");
  cells = Cells();
  EXPECT_EQ(Row(cells, 4).substr(3), "4 om naar links te bewegen");
  EXPECT_EQ(Row(cells, 5).substr(3), "6 om naar rechts te bewegen");
  EXPECT_EQ(Row(cells, 6).substr(3), "5 om het blokje te roteren");
  EXPECT_EQ(Row(cells, 2).substr(26), "Score: 7") << Row(cells, 2);
  EXPECT_EQ(At(cells, 26, 2).fg, kCyan);
  EXPECT_EQ(Row(cells, 19).substr(1, 5), "first");
  for (std::uint32_t r = 0; r < 20; ++r) EXPECT_EQ(Row(cells, r).find("second"), std::string::npos) << r;
}
