// Graph's drawing operations pixel by pixel on the back buffer, with the null
// window (no server, no display).
#include "graph/Graph.h"
#include "tests/support/Palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlue = 0x0000B0, kRed = 0xB00000, kBlack = 0;

// A region of the back buffer as text: '#' white, '-' blue, 'o' red, '.'
// black, '?' anything else; rows joined by '|'.
std::string Region(std::uint32_t x0, std::uint32_t y0, std::uint32_t w, std::uint32_t h) {
  std::string s;
  for (std::uint32_t y = y0; y < y0 + h; ++y) {
    if (y != y0) s += '|';
    for (std::uint32_t x = x0; x < x0 + w; ++x) {
      switch (Graph::Pixel(x, y)) {
        case kWhite: s += '#'; break;
        case kBlue: s += '-'; break;
        case kRed: s += 'o'; break;
        case kBlack: s += '.'; break;
        default: s += '?'; break;
      }
    }
  }
  return s;
}

std::string Join(const std::vector<std::string>& rows) {
  std::string s;
  for (const auto& r : rows) s += (s.empty() ? "" : "|") + r;
  return s;
}

// An 8 x 8 tile repeated to 16 x 16.
std::string Tiled(const std::vector<std::string>& tile) {
  std::vector<std::string> rows;
  for (int i = 0; i < 16; ++i) rows.push_back(tile[i % 8] + tile[i % 8]);
  return Join(rows);
}

std::string Replace(std::string s, char from, char to) {
  for (char& c : s)
    if (c == from) c = to;
  return s;
}

std::size_t Count(const std::string& s, char c) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), c)); }

class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(64, 48); }

  static void Open(std::uint32_t width, std::uint32_t depth, std::uint32_t displayBits = 24) {
    Graph::SelectHeadless(displayBits);
    Graph::DisplayCursor(false);
    Graph::SetStdFillMask(Graph::PATSYM_SOLID);
    ASSERT_TRUE(Graph::Init(1, 1, width, depth));
  }
  // The whole surface in red (colour 4), as a known ground.
  static void Ground() {
    const std::uint32_t bk = Graph::SetBkColor(4);
    Graph::ClearScreen(0);
    Graph::SetBkColor(bk);
  }
};

// ---------------------------------------------------------------- rectangles

TEST_F(GraphTest, RectangleCornersAndDegenerateCases) {
  Graph::Rectangle(5, 5, 5, 5, 15, false);
  Graph::Plot(7, 5, 15);
  EXPECT_EQ(Region(4, 4, 5, 3), ".....|.#.#.|.....");
  Graph::Rectangle(9, 9, 9, 9, 15, true);  // a filled one-pixel rectangle is that pixel too
  EXPECT_EQ(Region(8, 8, 3, 3), "...|.#.|...");

  Ground();
  Graph::Rectangle(10, 20, 2, 4, 15, true);
  const std::string all = Region(0, 0, 64, 48);
  EXPECT_EQ(Count(all, '#'), 9u * 17u);
  EXPECT_EQ(Graph::Pixel(2, 4), kWhite);
  EXPECT_EQ(Graph::Pixel(10, 20), kWhite);
  EXPECT_EQ(Graph::Pixel(1, 4), kRed);
  EXPECT_EQ(Graph::Pixel(11, 20), kRed);
  EXPECT_EQ(Graph::Pixel(10, 21), kRed);

  Ground();
  Graph::Rectangle(0, 0, 9, 0, 15, false);
  EXPECT_EQ(Region(0, 0, 12, 2), "##########oo|oooooooooooo");
  // An outline leaves its inside alone.
  Graph::Rectangle(20, 20, 24, 23, 15, false);
  EXPECT_EQ(Region(20, 20, 5, 4), "#####|#ooo#|#ooo#|#####");
}

TEST_F(GraphTest, FilledRectangleOutlineIsSolidWhateverTheLineStyle) {
  Ground();
  Graph::SetLinestyle(5);
  Graph::SetBkColor(1);
  Graph::SetStdFillMask(Graph::PATSYM_HORIZ);
  Graph::Rectangle(0, 0, 4, 3, 15, true);
  EXPECT_EQ(Region(0, 0, 5, 4), "#####|#---#|#---#|#####");
  Graph::Rectangle(10, 0, 14, 3, 15, false);  // style 5: no outline at all
  EXPECT_EQ(Region(10, 0, 5, 4), "ooooo|ooooo|ooooo|ooooo");
}

TEST_F(GraphTest, CoordinatesFarOutsideAreClippedNotWrapped) {
  Ground();
  const std::string before = Region(0, 0, 64, 48);
  Graph::Rectangle(0xFFFFFFF0, 0xFFFFFFF0, 0xFFFFFFFF, 0xFFFFFFFF, 15, true);
  Graph::Rectangle(64, 0, 0xFFFFFFFF, 47, 15, false);
  Graph::Plot(64, 0, 15);
  Graph::Plot(0, 48, 15);
  Graph::RawOutText(0xFFFFFFFF, 0, 15, "Hg");
  EXPECT_EQ(Region(0, 0, 64, 48), before);
  // A dotted outline reaching to the end of the coordinate range: only the
  // visible part is walked, in the pattern's place.
  Graph::SetLinestyle(1);
  Graph::SetBkColor(1);
  Graph::Rectangle(0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 15, false);
  EXPECT_EQ(Region(0, 0, 12, 1), "###---###---");
  EXPECT_EQ(Count(Region(1, 1, 62, 46), 'o'), 62u * 46u);
}

// ---------------------------------------------------------------- fill masks and line styles against hand-made patterns

TEST_F(GraphTest, EachHatchOpaqueAndTransparent) {
  const std::vector<std::vector<std::string>> hatches = {
      {"--------", "--------", "--------", "--------", "--------", "--------", "--------", "########"},
      {"----#---", "----#---", "----#---", "----#---", "----#---", "----#---", "----#---", "----#---"},
      {"#-------", "-#------", "--#-----", "---#----", "----#---", "-----#--", "------#-", "-------#"},
      {"-------#", "------#-", "-----#--", "----#---", "---#----", "--#-----", "-#------", "#-------"},
      {"----#---", "----#---", "----#---", "----#---", "----#---", "----#---", "----#---", "########"},
      {"#------#", "-#----#-", "--#--#--", "---##---", "---##---", "--#--#--", "-#----#-", "#------#"},
  };
  Graph::SetBkColor(1);
  for (std::uint32_t h = 0; h < 6; ++h) {
    SCOPED_TRACE("hatch " + std::to_string(h));
    for (bool opaque : {true, false}) {
      Ground();
      Graph::SetBkMix(opaque);
      Graph::SetStdFillMask(h);
      Graph::Rectangle(7, 7, 24, 24, 15, true);
      const std::string want = Tiled(hatches[h]);
      EXPECT_EQ(Region(8, 8, 16, 16), opaque ? want : Replace(want, '-', 'o'));
      EXPECT_EQ(Region(7, 7, 18, 1), std::string(18, '#'));
      EXPECT_EQ(Graph::GetStdFillMask(), h);
    }
  }
  // A mask that names no hatch fills solid.
  Graph::SetStdFillMask(7);
  Graph::Rectangle(7, 7, 24, 24, 15, true);
  EXPECT_EQ(Count(Region(7, 7, 18, 18), '#'), 18u * 18u);
  EXPECT_EQ(Graph::GetStdFillMask(), 7u);
}

TEST_F(GraphTest, CustomMaskIsOpaqueAlignedToTheOriginAndSurvivesClearScreen) {
  const std::vector<std::string> tile = {"####----", "--------", "----####", "--------",
                                         "#-#-#-#-", "-#-#-#-#", "#------#", "-------#"};
  Graph::SetStdFillMask(Graph::PATSYM_DIAG1);
  Graph::SetFillMask({0xF0, 0x00, 0x0F, 0x00, 0xAA, 0x55, 0x81, 0x01});
  Graph::SetBkColor(1);
  Graph::SetBkMix(false);  // does not apply to a custom mask
  Graph::ClearScreen(0);   // solid, whatever the mask
  EXPECT_EQ(Count(Region(0, 0, 64, 48), '-'), 64u * 48u);
  Graph::Rectangle(7, 7, 24, 24, 15, true);
  EXPECT_EQ(Region(8, 8, 16, 16), Tiled(tile));
  EXPECT_EQ(Region(7, 7, 18, 1), std::string(18, '#'));
  // An unaligned rectangle takes the same pixels of the pattern.
  Graph::Rectangle(3, 27, 20, 44, 15, true);
  EXPECT_EQ(Region(8, 32, 8, 8), Join(tile));
  EXPECT_EQ(Graph::GetStdFillMask(), Graph::PATSYM_DIAG1);
  Graph::SetStdFillMask(Graph::PATSYM_SOLID);
  Graph::Rectangle(7, 7, 24, 24, 15, true);
  EXPECT_EQ(Count(Region(7, 7, 18, 18), '#'), 18u * 18u);
}

TEST_F(GraphTest, EachLineStyleOnALineAndAroundACorner) {
  const std::string dashes[] = {
      std::string(48, '#'),
      "###---###---###---###---###---###---###---###---",
      "##################------##################------",
      "#########------###------#########------###------",
      "#########---###---###---#########---###---###---",
      std::string(48, 'o'),
  };
  Graph::SetBkColor(1);
  for (std::uint32_t style = 0; style <= 6; ++style) {
    SCOPED_TRACE("style " + std::to_string(style));
    const std::string& want = dashes[style == 6 ? 0 : style];  // above 5: solid
    for (bool opaque : {true, false}) {
      Ground();
      Graph::SetBkMix(opaque);
      Graph::SetLinestyle(style);
      Graph::Rectangle(0, 5, 47, 5, 15, false);
      EXPECT_EQ(Region(0, 5, 48, 1), opaque ? want : Replace(want, '-', 'o'));
    }
  }
  // The pattern runs on around the corners, clockwise from the top left.
  Ground();
  Graph::SetBkMix(true);
  Graph::SetLinestyle(1);
  Graph::Rectangle(4, 4, 0, 0, 15, false);
  EXPECT_EQ(Region(0, 0, 5, 5), "###--|-ooo-|#ooo#|#ooo#|#---#");
  // A one-pixel-wide column: down the right edge only, each pixel once.
  Graph::Rectangle(10, 0, 10, 7, 15, false);
  EXPECT_EQ(Region(10, 0, 1, 8), "#|#|#|-|-|-|#|#");
}

// ---------------------------------------------------------------- palette

TEST_F(GraphTest, StandardPaletteAfterInitWhateverTheDisplay) {
  const auto& standard = TestPalette::kStandard;
  for (std::uint32_t bits : {2u, 24u, 32u}) {
    Open(64, 48, bits);
    for (std::uint32_t c = 0; c < 16; ++c) {
      Graph::Plot(c, 0, c);
      Graph::Plot(c, 1, c + 256);  // only the low 8 bits count
      EXPECT_EQ(Graph::Pixel(c, 0), standard[c]) << "colour " << c << ", " << bits << " bits";
      EXPECT_EQ(Graph::Pixel(c, 1), standard[c]);
    }
  }
  Open(64, 48, 2);
  EXPECT_EQ(Graph::NumPColor, 4u);
  Open(64, 48, 24);
  EXPECT_EQ(Graph::NumPColor, 16777216u);
  Open(64, 48, 32);
  EXPECT_EQ(Graph::NumPColor, 4294967295u);
}

TEST_F(GraphTest, RemapAllPaletteRefusedAcceptedAndMissingEntriesBlack) {
  Open(64, 48, 2);
  std::vector<std::uint32_t> table(17, 0x123456);
  EXPECT_EQ(Graph::RemapAllPalette(table), -1);
  Graph::Plot(0, 0, 12);
  EXPECT_EQ(Graph::Pixel(0, 0), 0xFF0000u);
  std::vector<std::uint32_t> four = {0x111111, 0x222222, 0xAB333333, 0x444444};
  EXPECT_EQ(Graph::RemapAllPalette(four), 0);
  four[2] = 0x999999;  // the palette is a copy
  Graph::Plot(1, 0, 2);
  Graph::Plot(2, 0, 258);
  Graph::Plot(3, 0, 12);  // no entry 12: black
  EXPECT_EQ(Graph::Pixel(1, 0), 0x333333u);
  EXPECT_EQ(Graph::Pixel(2, 0), 0x333333u);
  EXPECT_EQ(Graph::Pixel(3, 0), 0u);
  // Pixels already drawn keep their colour when the palette changes.
  Graph::InitStdPalette();  // 16 entries on 4 colours: refused too
  Graph::Plot(4, 0, 2);
  EXPECT_EQ(Graph::Pixel(4, 0), 0x333333u);

  Open(64, 48, 32);
  EXPECT_EQ(Graph::RemapAllPalette({}), 0);
  Graph::Plot(0, 0, 15);
  EXPECT_EQ(Graph::Pixel(0, 0), 0u);
  std::vector<std::uint32_t> big(2000);
  for (std::uint32_t i = 0; i < big.size(); ++i) big[i] = i;
  EXPECT_EQ(Graph::RemapAllPalette(big), 0);
  Graph::Plot(0, 0, 255);
  EXPECT_EQ(Graph::Pixel(0, 0), 255u);
  Graph::InitStdPalette();
  Graph::Plot(0, 0, 12);
  EXPECT_EQ(Graph::Pixel(0, 0), 0xFF0000u);
}

TEST_F(GraphTest, InitResetsBackgroundAndMixButKeepsFillAndCursorWish) {
  EXPECT_EQ(Graph::SetBkColor(4), 0u);
  EXPECT_EQ(Graph::SetBkColor(9), 4u);
  Graph::SetBkMix(false);
  Graph::SetLinestyle(1);
  Graph::SetStdFillMask(Graph::PATSYM_VERT);
  ASSERT_TRUE(Graph::Init(1, 1, 64, 48));
  EXPECT_EQ(Graph::SetBkColor(0), 0u);
  EXPECT_EQ(Graph::GetStdFillMask(), Graph::PATSYM_VERT);
  EXPECT_EQ(Count(Region(0, 0, 64, 48), '.'), 64u * 48u);  // cleared
  Graph::Rectangle(0, 0, 9, 0, 15, false);
  EXPECT_EQ(Region(0, 0, 10, 1), "##########");  // line style 0 again
}

// ---------------------------------------------------------------- text

TEST_F(GraphTest, FontGivesTheTextGrid) {
  Open(555, 600);
  EXPECT_EQ(Graph::Columns, 69u);  // DejaVuSansMono 13 px: cells of 8 x 16, descent 3
  EXPECT_EQ(Graph::Rows, 37u);
}

TEST_F(GraphTest, TextOpaqueAndTransparentBackground) {
  Ground();
  Graph::SetBkColor(1);
  Graph::RawOutText(10, 10, 15, "Hg");
  const std::string opaque = Region(10, 10, 16, 16);
  EXPECT_GT(Count(opaque, '#'), 20u);
  EXPECT_EQ(Count(opaque, '#') + Count(opaque, '-'), 256u);  // ink or background, nothing else
  EXPECT_EQ(Region(9, 9, 18, 1), std::string(18, 'o'));
  EXPECT_EQ(Region(26, 10, 1, 16), Join(std::vector<std::string>(16, "o")));

  Ground();
  Graph::SetBkMix(false);
  Graph::RawOutText(10, 10, 15, "Hg");
  EXPECT_EQ(Region(10, 10, 16, 16), Replace(opaque, '-', 'o'));
}

TEST_F(GraphTest, TextStopsAtNulAnd257Characters) {
  Open(2600, 20);
  const std::string w300(300, 'W');
  Graph::RawOutText(0, 0, 15, w300);
  const std::vector<std::uint32_t> long300 = Graph::ReadBackBuffer();
  EXPECT_NE(Region(256 * 8, 0, 8, 16).find('#'), std::string::npos);  // character 257 is there
  EXPECT_EQ(Region(257 * 8, 0, 300, 16).find('#'), std::string::npos);  // 258 on are not
  Graph::ClearScreen(0);
  Graph::RawOutText(0, 0, 15, w300.substr(0, 257));
  EXPECT_EQ(Graph::ReadBackBuffer(), long300);

  Graph::ClearScreen(0);
  Graph::RawOutText(0, 0, 15, std::string_view("AB\0CD", 5));
  const std::vector<std::uint32_t> ab = Graph::ReadBackBuffer();
  Graph::ClearScreen(0);
  Graph::RawOutText(0, 0, 15, "AB");
  EXPECT_EQ(Graph::ReadBackBuffer(), ab);
  const char full[3] = {'A', 'B', 'C'};  // an array the text fills: no NUL
  Graph::RawOutText(0, 0, 15, full);
  EXPECT_NE(Region(16, 0, 8, 16).find('#'), std::string::npos);
  EXPECT_EQ(Region(24, 0, 8, 16).find('#'), std::string::npos);
}

TEST_F(GraphTest, CodePage1252DiaeresisIsDrawn) {
  Open(555, 60);
  Graph::RawOutText(0, 0, 15, "Druk op q om het programma te be\xEBindigen");
  Graph::RawOutText(0, 20, 15, "Druk op q om het programma te beeindigen");
  // The two lines differ in the 33rd cell alone, where the dots are added.
  EXPECT_EQ(Region(0, 0, 256, 16), Region(0, 20, 256, 16));
  EXPECT_EQ(Region(264, 0, 291, 16), Region(264, 20, 291, 16));
  const std::string withDots = Region(256, 0, 8, 16), plain = Region(256, 20, 8, 16);
  EXPECT_GT(Count(withDots, '#'), Count(plain, '#'));
  EXPECT_EQ(withDots.substr(5 * 9), plain.substr(5 * 9));  // the e below the dots is the same
}

// ---------------------------------------------------------------- text grid, ClearScreen, cursor

TEST_F(GraphTest, SetTextWindowClampsAndSetTextPositionReturnsThePrevious) {
  Open(39 * 8, 600);
  ASSERT_EQ(Graph::Columns, 39u);
  ASSERT_EQ(Graph::Rows, 37u);
  Graph::SetTextWindow(50, 50, 0, 0);
  Graph::RowColumn was = Graph::SetTextPosition(100, 100);
  EXPECT_EQ(was.row, 1u);
  EXPECT_EQ(was.column, 1u);
  was = Graph::SetTextPosition(0, 0);
  EXPECT_EQ(was.row, 37u);
  EXPECT_EQ(was.column, 39u);
  Graph::SetTextWindow(3, 7, 2, 5);
  was = Graph::SetTextPosition(9, 9);
  EXPECT_EQ(was.row, 5u);
  EXPECT_EQ(was.column, 2u);
  was = Graph::SetTextPosition(1, 1);
  EXPECT_EQ(was.row, 7u);
  EXPECT_EQ(was.column, 3u);
}

TEST_F(GraphTest, ClearScreenModes) {
  ASSERT_EQ(Graph::Columns, 8u);
  ASSERT_EQ(Graph::Rows, 2u);
  Graph::SetTextWindow(2, 1, 3, 2);
  Ground();
  Graph::SetBkColor(1);
  Graph::SetTextPosition(3, 2);
  Graph::ClearScreen(1);  // paints nothing, moves the position
  EXPECT_EQ(Count(Region(0, 0, 64, 48), 'o'), 64u * 48u);
  Graph::RowColumn was = Graph::SetTextPosition(3, 2);
  EXPECT_EQ(was.row, 1u);
  EXPECT_EQ(was.column, 2u);

  // Mode 2: from the window's top-left cell to one pixel past its last cell,
  // the descent below included.
  Graph::ClearScreen(2);
  const std::string row = std::string(8, 'o') + std::string(17, '-') + std::string(39, 'o');
  EXPECT_EQ(Region(0, 0, 64, 1), row);
  EXPECT_EQ(Region(0, 35, 64, 1), row);
  EXPECT_EQ(Region(0, 36, 64, 1), std::string(64, 'o'));
  EXPECT_EQ(Graph::SetTextPosition(1, 1).column, 2u);

  Graph::ClearScreen(0);
  EXPECT_EQ(Count(Region(0, 0, 64, 48), '-'), 64u * 48u);
}

TEST_F(GraphTest, CursorBlockInvertedAroundDrawingAndRestored) {
  EXPECT_FALSE(Graph::DisplayCursor(true));
  // Text position (1, 1): the cell less its last column and row.
  EXPECT_EQ(Region(0, 0, 9, 1), "#######..");
  EXPECT_EQ(Count(Region(0, 0, 8, 16), '#'), 7u * 15u);
  EXPECT_TRUE(Graph::DisplayCursor(true));  // already shown: no second inversion
  EXPECT_EQ(Count(Region(0, 0, 8, 16), '#'), 7u * 15u);

  // Drawing under the cursor: hidden, drawn, shown again.
  Graph::Plot(2, 2, 12);
  EXPECT_EQ(Graph::Pixel(2, 2), 0x00FFFFu);
  Graph::SetTextPosition(2, 1);
  EXPECT_EQ(Graph::Pixel(2, 2), 0xFF0000u);
  EXPECT_EQ(Region(7, 0, 9, 1), ".#######.");

  EXPECT_TRUE(Graph::DisplayCursor(false));
  EXPECT_EQ(Count(Region(0, 0, 64, 48), '#'), 0u);
  EXPECT_EQ(Graph::Pixel(2, 2), 0xFF0000u);
}

TEST_F(GraphTest, NoBackBufferNoDrawingAndTinySurfacesAreSafe) {
  Graph::Exit();
  Graph::Plot(0, 0, 15);
  Graph::Rectangle(0, 0, 10, 10, 15, true);
  Graph::RawOutText(0, 0, 15, "Hg");
  Graph::ClearScreen(0);
  Graph::DisplayCursor(true);
  Graph::DisplayCursor(false);
  EXPECT_TRUE(Graph::ReadBackBuffer().empty());
  EXPECT_EQ(Graph::Pixel(0, 0), 0u);

  // Lower than the font's descent: no text rows rather than a wrapped count.
  ASSERT_TRUE(Graph::Init(1, 1, 4, 2));
  EXPECT_EQ(Graph::Rows, 0u);
  EXPECT_EQ(Graph::Columns, 0u);
  Graph::SetTextWindow(5, 5, 9, 9);
  Graph::DisplayCursor(true);
  Graph::ClearScreen(2);
  Graph::RawOutText(0, 0, 15, "Hg");
  EXPECT_EQ(Graph::ReadBackBuffer().size(), 8u);
  Graph::DisplayCursor(false);
  ASSERT_TRUE(Graph::Init(1, 1, 0, 0));
  Graph::ClearScreen(0);
  Graph::Rectangle(0, 0, 5, 5, 15, false);
  EXPECT_TRUE(Graph::ReadBackBuffer().empty());

  // Beyond the largest window: refused, not allocated.
  EXPECT_FALSE(Graph::Init(1, 1, 0xFFFFFFFF, 0xFFFFFFFF));
  EXPECT_FALSE(Graph::Init(1, 1, 16385, 1));
  Graph::Plot(0, 0, 15);
  EXPECT_EQ(Graph::Pixel(0, 0), 0u);
}

// Arbitrary calls with arbitrary arguments: under the sanitizers, any write
// outside the buffer or any overflow fails the run; the buffer keeps its size.
TEST_F(GraphTest, ArbitraryCallsStayInsideTheBuffer) {
  std::mt19937 rng(20240601);
  auto any = [&]() -> std::uint32_t {
    switch (rng() % 4) {
      case 0: return rng() % 80;                 // on the surface
      case 1: return 0xFFFFFFFF - rng() % 80;    // at the top of the range
      default: return static_cast<std::uint32_t>(rng());
    }
  };
  std::vector<std::uint32_t> table(rng() % 40);
  for (int i = 0; i < 20000; ++i) {
    switch (rng() % 14) {
      case 0: Graph::Rectangle(any(), any(), any(), any(), any(), rng() % 2); break;
      case 1: Graph::Plot(any(), any(), any()); break;
      case 2: Graph::RawOutText(any(), any(), any(), std::string(rng() % 300, static_cast<char>(rng()))); break;
      case 3: Graph::ClearScreen(rng() % 4); break;
      case 4: Graph::SetLinestyle(any()); break;
      case 5: Graph::SetStdFillMask(any()); break;
      case 6: Graph::SetFillMask({static_cast<std::uint8_t>(rng()), 0, 0xFF, static_cast<std::uint8_t>(rng()), 1, 2, 3, 4}); break;
      case 7: Graph::SetBkColor(any()); break;
      case 8: Graph::SetBkMix(rng() % 2); break;
      case 9: Graph::SetTextWindow(any(), any(), any(), any()); break;
      case 10: Graph::SetTextPosition(any(), any()); break;
      case 11: Graph::DisplayCursor(rng() % 2); break;
      case 12:
        table.resize(rng() % 40);
        for (auto& v : table) v = static_cast<std::uint32_t>(rng());
        Graph::RemapAllPalette(table);
        break;
      case 13: Graph::InitStdPalette(); break;
    }
  }
  EXPECT_EQ(Graph::ReadBackBuffer().size(), 64u * 48u);
}

}  // namespace
