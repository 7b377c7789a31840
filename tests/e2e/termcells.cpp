// termcells: reads what `tmux capture-pane -e -N -p` printed of the
// terminal view (standard input) and answers in the game's colour numbers,
// for the end-to-end scripts:
//   termcells squares           the 37 x 40 squares, one character a square:
//                               the colour number of its two cells in hex,
//                               ? when none (or the two differ), t when a
//                               character other than a space is on it
//   termcells match FILE LABEL  status 0 when a frame of termframes' FILE
//                               with that label has every square as shown,
//                               squares under text on either side aside;
//                               else the nearest frame's differences
//   termcells text ROW          the characters of row ROW (from 0), UTF-8,
//                               trailing spaces cut
//   termcells colours ROW COL   colour numbers of that cell: "FG BG"
//   termcells piece C           "at X Y": the leftmost column and the top
//                               row of the squares of colour C inside the
//                               walls (1..21, 1..30), or "none"
// Colours are read in any depth: 24-bit exactly, palette entries as the
// terminal view maps the standard colours to them. With `compact` before
// the question, the squares are read from the compact layout: 37 columns
// by 20 rows, two squares a cell (the upper half block: the upper square
// in the foreground colour, the lower in the background).
#include "platform/TermPaint.h"

#include "../support/TermDecode.h"
#include "../support/Palette.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const auto& kRgb = TestPalette::kStandard;

constexpr int kSquaresAcross = 37, kSquaresDown = 40;

int ColourNumber(const TermDecode::Colour& c) {
  for (int n = 0; n < 16; ++n) {
    if (c.kind == TermDecode::Colour::Rgb && c.value == kRgb[n]) return n;
    if (c.kind == TermDecode::Colour::Index && c.value >= 16 && c.value == Platform::Nearest256(kRgb[n])) return n;
    if (c.kind == TermDecode::Colour::Index && c.value < 16 && c.value == Platform::Nearest16(kRgb[n], kRgb)) return n;
  }
  return -1;
}

char Digit(int colour) { return colour < 0 ? '?' : "0123456789abcdef"[colour]; }

bool compact = false;

std::vector<std::string> CompactSquares(const TermDecode::Screen& s) {
  std::vector<std::string> rows;
  for (int r = 0; r < kSquaresDown / 2; ++r) {
    std::string upper, lower;
    for (int k = 0; k < kSquaresAcross; ++k) {
      const TermDecode::Cell& c = s.at(r, k);
      if (c.ch == "\xE2\x96\x80") {
        upper += Digit(ColourNumber(c.fg));
        lower += Digit(ColourNumber(c.bg));
      } else if (c.ch == " ") {
        upper += Digit(ColourNumber(c.bg));
        lower += upper.back();
      } else {
        upper += 't';
        lower += 't';
      }
    }
    // A text's own spaces look like black squares: between two characters
    // of text with no half block in between, everything counts as text.
    for (std::size_t a = 0; a < upper.size(); ++a) {
      if (upper[a] != 't') continue;
      std::size_t b = a + 1;
      while (b < upper.size() && upper[b] != 't' && s.at(r, static_cast<int>(b)).ch == " ") ++b;
      if (b < upper.size() && upper[b] == 't')
        for (std::size_t k = a + 1; k < b; ++k) upper[k] = lower[k] = 't';
    }
    rows.push_back(upper);
    rows.push_back(lower);
  }
  return rows;
}

std::vector<std::string> Squares(const TermDecode::Screen& s) {
  if (compact) return CompactSquares(s);
  std::vector<std::string> rows;
  for (int r = 0; r < kSquaresDown; ++r) {
    std::string row;
    for (int k = 0; k < kSquaresAcross; ++k) {
      const TermDecode::Cell& a = s.at(r, 2 * k);
      const TermDecode::Cell& b = s.at(r, 2 * k + 1);
      if (a.ch != " " || b.ch != " ") {
        row += 't';
      } else {
        const int ca = ColourNumber(a.bg);
        row += ca == ColourNumber(b.bg) ? Digit(ca) : '?';
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// Frames of termframes' output with the label.
std::vector<std::vector<std::string>> Frames(const char* file, const std::string& label) {
  std::ifstream in(file);
  std::vector<std::vector<std::string>> frames;
  std::string line;
  bool wanted = false;
  while (std::getline(in, line)) {
    if (line.rfind("# ", 0) == 0) {
      wanted = line.substr(2) == label;
      if (wanted) frames.emplace_back();
    } else if (wanted) {
      frames.back().push_back(line);
    }
  }
  return frames;
}

// Squares that differ, text on either side aside.
std::vector<std::string> Differences(const std::vector<std::string>& shown, const std::vector<std::string>& frame) {
  std::vector<std::string> out;
  for (int r = 0; r < kSquaresDown; ++r) {
    for (int k = 0; k < kSquaresAcross; ++k) {
      const char a = shown[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
      const char b = r < static_cast<int>(frame.size()) && k < static_cast<int>(frame[static_cast<std::size_t>(r)].size())
                         ? frame[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)]
                         : '-';
      if (a == 't' || b == 't' || a == b) continue;
      out.push_back("square (" + std::to_string(k) + ", " + std::to_string(r) + ") shows " + a + ", expected " + b);
    }
  }
  return out;
}

int Match(const TermDecode::Screen& s, const char* file, const std::string& label) {
  const auto shown = Squares(s);
  const auto frames = Frames(file, label);
  std::vector<std::string> nearest;
  for (const auto& frame : frames) {
    const auto diff = Differences(shown, frame);
    if (diff.empty()) return 0;
    if (nearest.empty() || diff.size() < nearest.size()) nearest = diff;
  }
  std::fprintf(stderr, "no %s frame of %zu matches; the nearest differs in %zu squares\n", label.c_str(),
               frames.size(), nearest.size());
  for (std::size_t k = 0; k < nearest.size() && k < 5; ++k) std::fprintf(stderr, "  %s\n", nearest[k].c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "compact") {
    compact = true;
    --argc;
    ++argv;
  }
  const std::string what = argc > 1 ? argv[1] : "";
  const std::string captured((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  TermDecode::Screen screen(240, 120);
  screen.Feed(captured);
  if (what == "squares" && argc == 2) {
    for (const auto& row : Squares(screen)) std::printf("%s\n", row.c_str());
  } else if (what == "match" && argc == 4) {
    return Match(screen, argv[2], argv[3]);
  } else if (what == "text" && argc == 3) {
    std::printf("%s\n", screen.Text(std::atoi(argv[2])).c_str());
  } else if (what == "colours" && argc == 4) {
    const TermDecode::Cell& c = screen.at(std::atoi(argv[2]), std::atoi(argv[3]));
    std::printf("%d %d\n", ColourNumber(c.fg), ColourNumber(c.bg));
  } else if (what == "piece" && argc == 3) {
    const auto rows = Squares(screen);
    const char colour = Digit(std::atoi(argv[2]));
    int left = 99, top = 99;
    for (int y = 1; y <= 30; ++y)
      for (int x = 1; x <= 21; ++x)
        if (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == colour) {
          left = std::min(left, x);
          top = std::min(top, y);
        }
    left == 99 ? std::printf("none\n") : std::printf("at %d %d\n", left, top);
  } else {
    std::fprintf(stderr, "usage: termcells [compact] squares|match FILE LABEL|text ROW|colours ROW COL|piece C < capture\n");
    return 2;
  }
  return 0;
}
