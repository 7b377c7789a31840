// The terminal view's bytes, read back through a model terminal: every
// frame painted is what the terminal shows, in each colour depth; only the
// cells that changed are written; colours go to their nearest entries and
// the standard ones stay apart; every character takes one cell and none
// steers the terminal; the environment picks the depth and character set.
#include "platform/TermPaint.h"
#include "tests/support/Palette.h"

#include "../support/TermDecode.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace Platform;

namespace {

using TestPalette::kStandard;

constexpr TermColours kDepths[] = {TermColours::Direct24, TermColours::Palette256, TermColours::Ansi16};
constexpr TermCharset kCharsets[] = {TermCharset::Utf8, TermCharset::Latin1, TermCharset::Ascii};

int Distance(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift : {16, 8, 0}) {
    const int x = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
    d += x * x;
  }
  return d;
}

// The 256-colour palette's entries from 16 on, as xterm defines them.
std::uint32_t XtermRgb(int i) {
  if (i >= 232) {
    const std::uint32_t v = static_cast<std::uint32_t>(8 + 10 * (i - 232));
    return v << 16 | v << 8 | v;
  }
  const auto level = [](int v) { return static_cast<std::uint32_t>(v ? 55 + 40 * v : 0); };
  const int k = i - 16;
  return level(k / 36) << 16 | level(k / 6 % 6) << 8 | level(k % 6);
}

TermDecode::Colour Expected(TermColours depth, std::uint32_t rgb) {
  switch (depth) {
    case TermColours::Direct24:
      return {TermDecode::Colour::Rgb, rgb};
    case TermColours::Palette256:
      return {TermDecode::Colour::Index, Nearest256(rgb)};
    case TermColours::Ansi16:
      break;
  }
  return {TermDecode::Colour::Index, Nearest16(rgb, kStandard)};
}

struct Frame {
  int columns = 74, rows = 40;
  std::vector<TermCell> cells = std::vector<TermCell>(74 * 40);
};

::testing::AssertionResult Shows(const TermDecode::Screen& s, const Frame& f, const TermPainter& p) {
  if (s.unknown || s.scrolled) return ::testing::AssertionFailure() << s.unknown << " unknown, " << s.scrolled << " scrolled";
  for (int r = 0; r < f.rows; ++r) {
    for (int c = 0; c < f.columns; ++c) {
      const TermCell& want = f.cells[static_cast<std::size_t>(r * f.columns + c)];
      const TermDecode::Cell& got = s.at(r, c);
      std::string ch;
      if (want.upperHalf && !(Expected(p.colours, want.fg) == Expected(p.colours, want.bg))) {
        if (got.ch == "\xE2\x96\x80" && got.fg == Expected(p.colours, want.fg) && got.bg == Expected(p.colours, want.bg))
          continue;
        return ::testing::AssertionFailure() << "cell (" << c << ", " << r << ") shows '" << got.ch
                                             << "', wanted the half block";
      }
      AppendChar(ch, want.upperHalf ? ' ' : want.ch, p.charset);
      if (got.ch != ch || !(got.bg == Expected(p.colours, want.bg)) ||
          (want.ch != ' ' && !want.upperHalf && !(got.fg == Expected(p.colours, want.fg)))) {
        return ::testing::AssertionFailure() << "cell (" << c << ", " << r << ") shows '" << got.ch << "' bg "
                                             << got.bg.value << " fg " << got.fg.value << ", wanted '" << ch
                                             << "' bg " << want.bg << " fg " << want.fg;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(TermPaint, EveryFramePaintedIsWhatTheTerminalShows) {
  std::mt19937 rng(11);
  const std::uint32_t colours[] = {kStandard[0], kStandard[4],  kStandard[10], kStandard[14],
                                   kStandard[15], 0x123456,     0x7F7F80,      0xFE0102};
  const char chars[] = {' ', ' ', ' ', 'a', 'Z', '\xEB', ':', '0'};
  for (TermColours depth : kDepths) {
    for (int width : {74, 80}) {
      SCOPED_TRACE(::testing::Message() << "depth " << static_cast<int>(depth) << ", width " << width);
      TermPainter p;
      p.colours = depth;
      p.standard = kStandard;
      TermDecode::Screen screen(width, 46);
      Frame f;
      std::vector<std::string> lines;
      for (int frame = 0; frame < 40; ++frame) {
        for (auto& cell : f.cells) {
          if (frame > 0 && rng() % 20 != 0) continue;  // a few cells change each frame
          // Some two squares to a cell, as the compact layout paints them.
          cell = {colours[rng() % 8], colours[rng() % 8], chars[rng() % 8], rng() % 4 == 0};
        }
        if (rng() % 3 == 0) lines.push_back(std::string(rng() % 100, static_cast<char>('a' + frame % 26)));
        if (frame % 13 == 12) Invalidate(p);
        std::string out;
        PaintCells(p, f.cells, f.columns, f.rows, out);
        PaintLines(p, 40, width, 6, lines, out);
        screen.Feed(out);
        ASSERT_TRUE(Shows(screen, f, p)) << "frame " << frame;
        for (int k = 0; k < 6; ++k) {
          const long from = static_cast<long>(lines.size()) - 6 + k;
          const std::string want = from < 0 ? "" : lines[static_cast<std::size_t>(from)].substr(0, width - 1);
          ASSERT_EQ(screen.Text(40 + k), want) << "frame " << frame << ", console row " << k;
        }
      }
    }
  }
}

TEST(TermPaint, OnlyTheCellsThatChangedAreWritten) {
  TermPainter p;
  TermDecode::Screen screen(80, 46);
  Frame f;
  for (std::size_t k = 0; k < f.cells.size(); ++k) f.cells[k] = {kStandard[15], kStandard[k % 16], ' '};
  const std::vector<std::string> lines = {"Sound doesn't work on this computer..."};
  std::string out;
  PaintCells(p, f.cells, f.columns, f.rows, out);
  PaintLines(p, 40, 80, 6, lines, out);
  screen.Feed(out);
  EXPECT_EQ(screen.printed, 74 * 40 + 38);

  out.clear();
  PaintCells(p, f.cells, f.columns, f.rows, out);
  PaintLines(p, 40, 80, 6, lines, out);
  EXPECT_EQ(out, "") << "nothing changed";

  // The foreground of a block is never shown, so it is never written.
  f.cells[5].fg = kStandard[3];
  f.cells[40 * 74 - 1] = {kStandard[12], kStandard[0], 'q'};
  out.clear();
  PaintCells(p, f.cells, f.columns, f.rows, out);
  screen.Feed(out);
  EXPECT_EQ(screen.printed, 74 * 40 + 38 + 1);
  EXPECT_EQ(screen.at(39, 73).ch, "q");
  EXPECT_LT(out.size(), 60u) << out;

  // After a message, everything again.
  out.clear();
  PaintMessage(p, "Enlarge the terminal", 10, out);
  screen.Feed(out);
  EXPECT_EQ(screen.Text(0), "Enlarge t");
  EXPECT_EQ(screen.Text(1), "");
  out.clear();
  PaintCells(p, f.cells, f.columns, f.rows, out);
  screen.Feed(out);
  EXPECT_TRUE(Shows(screen, f, p));
}

TEST(TermColours, EachGoesToItsNearestEntry) {
  std::mt19937 rng(5);
  for (int k = 0; k < 20000; ++k) {
    const std::uint32_t rgb = rng() & 0xFFFFFF;
    int best = Distance(rgb, XtermRgb(16));
    for (int i = 17; i < 256; ++i) best = std::min(best, Distance(rgb, XtermRgb(i)));
    const int got = Nearest256(rgb);
    ASSERT_GE(got, 16);
    ASSERT_EQ(Distance(rgb, XtermRgb(got)), best) << std::hex << rgb << " went to " << std::dec << got;
  }
}

TEST(TermColours, TheSixteenStandardColoursStayApartInEveryDepth) {
  std::set<int> in256, in16;
  for (std::uint32_t rgb : kStandard) {
    in256.insert(Nearest256(rgb));
    in16.insert(Nearest16(rgb, kStandard));
    EXPECT_LE(Distance(rgb, XtermRgb(Nearest256(rgb))), 3 * 20 * 20) << std::hex << rgb;
  }
  EXPECT_EQ(in256.size(), 16u);
  EXPECT_EQ(in16.size(), 16u);
  // In ANSI order: red is 1, blue 4, bright white 15.
  EXPECT_EQ(Nearest16(0xB00000, kStandard), 1);
  EXPECT_EQ(Nearest16(0x0000B0, kStandard), 4);
  EXPECT_EQ(Nearest16(0xFFFFFF, kStandard), 15);
}

TEST(TermCharacters, EveryCharacterTakesOneCellAndNoneSteersTheTerminal) {
  for (TermCharset charset : kCharsets) {
    for (int b = 1; b < 256; ++b) {
      std::string out;
      AppendChar(out, static_cast<char>(b), charset);
      SCOPED_TRACE(::testing::Message() << "charset " << static_cast<int>(charset) << ", byte " << b);
      for (unsigned char o : out) ASSERT_TRUE(o >= 0x20 && o != 0x7F) << "control byte " << int{o};
      if (charset == TermCharset::Latin1 && b >= 0xA0) {
        ASSERT_EQ(out, std::string(1, static_cast<char>(b)));
        continue;
      }
      ASSERT_EQ(out.find("\xC2\x80"), std::string::npos);
      for (int c1 = 0x80; c1 < 0xA0; ++c1) ASSERT_EQ(out.find(std::string{'\xC2', static_cast<char>(c1)}), std::string::npos);
      TermDecode::Screen screen(4, 1);
      screen.Feed(out + "x");
      ASSERT_EQ(screen.printed, 2) << out;
    }
  }
  std::string e;
  AppendChar(e, '\xEB', TermCharset::Utf8);
  AppendChar(e, '\xEB', TermCharset::Ascii);
  AppendChar(e, '\x80', TermCharset::Utf8);
  AppendChar(e, '\x1B', TermCharset::Utf8);
  EXPECT_EQ(e, "\xC3\xAB" "e" "\xE2\x82\xAC" "?");
}

TEST(TermEnvironment, PicksTheDepthAndTheCharacterSet) {
  EXPECT_EQ(ColoursFor("truecolor", "xterm"), TermColours::Direct24);
  EXPECT_EQ(ColoursFor("24bit", nullptr), TermColours::Direct24);
  EXPECT_EQ(ColoursFor(nullptr, "xterm-direct"), TermColours::Direct24);
  EXPECT_EQ(ColoursFor("", "tmux-256color"), TermColours::Palette256);
  EXPECT_EQ(ColoursFor(nullptr, "xterm"), TermColours::Ansi16);
  EXPECT_EQ(ColoursFor(nullptr, nullptr), TermColours::Ansi16);

  EXPECT_EQ(CharsetFor(nullptr, nullptr, "nl_NL.UTF-8"), TermCharset::Utf8);
  EXPECT_EQ(CharsetFor("", "C.utf8", "C"), TermCharset::Utf8);
  EXPECT_EQ(CharsetFor("C", nullptr, "en_US.UTF-8"), TermCharset::Ascii) << "LC_ALL comes first";
  EXPECT_EQ(CharsetFor(nullptr, nullptr, "de_DE.ISO-8859-1"), TermCharset::Latin1);
  EXPECT_EQ(CharsetFor(nullptr, nullptr, "de_DE.iso885915@euro"), TermCharset::Ascii);
  EXPECT_EQ(CharsetFor(nullptr, nullptr, nullptr), TermCharset::Ascii);
}

}  // namespace
