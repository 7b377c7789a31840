// TermPaint: the bytes that show a grid of coloured character cells on an
// xterm-style terminal (ECMA-48 cursor moves and colours, as xterm, tmux,
// VTE and the Linux console take them). Colours go out in the depth the
// terminal takes, the program's code page 1252 text in the terminal's
// character set, and only the cells that changed since the last paint. No
// I/O here: the bytes are appended to a string the caller writes in one go.
// Depends on: platform/Text (code page 1252 to Unicode).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

enum class TermColours : std::uint8_t { Ansi16, Palette256, Direct24 };
enum class TermCharset : std::uint8_t { Ascii, Latin1, Utf8 };

// 24-bit when COLORTERM says truecolor or 24bit (or TERM ends in -direct),
// the 256-colour palette when TERM names a 256-colour terminal, else the 16
// ANSI colours. Either may be null.
TermColours ColoursFor(const char* colorterm, const char* term);

// From the first of LC_ALL, LC_CTYPE and LANG that is set and not empty:
// UTF-8, ISO 8859-1, else plain ASCII (the C locale). Any may be null.
TermCharset CharsetFor(const char* lcAll, const char* lcCtype, const char* lang);

// The program's own 16 standard colours, in its own order (1 blue, 4 red,
// 6 brown): the terminal's 16 ANSI colours (1 red, 4 blue, 3 yellow) stand
// for them, so that those map one to one. The caller hands them over.
using StandardColours = std::array<std::uint32_t, 16>;

// The nearest entry, by squared distance in RGB: of the 256-colour palette's
// colour cube and grey ramp (16..255), and of the 16 ANSI colours (0..15,
// ANSI order) as `standard` gives them.
std::uint8_t Nearest256(std::uint32_t rgb);
std::uint8_t Nearest16(std::uint32_t rgb, const StandardColours& standard);

// The bytes of one code page 1252 character in `charset`, appended: never
// none. What the terminal cannot show becomes its nearest ASCII letter (ë
// as e), and control characters, which would steer the terminal, become ?.
void AppendChar(std::string& out, char ch, TermCharset charset);

// A cell: character `ch` (code page 1252) in `fg` on `bg`, both 0x00RRGGBB.
// A space is a block of its background; its foreground is never shown.
// With `upperHalf` the cell is two squares stacked instead, the upper one
// `fg` and the lower one `bg` (U+2580, for a UTF-8 terminal only; `ch` is
// not used).
struct TermCell {
  std::uint32_t fg = 0;
  std::uint32_t bg = 0;
  char ch = ' ';
  bool upperHalf = false;
};

// What the terminal shows, as far as the painter knows: the cells and lines
// it last wrote, the cursor and the colours in force. Colours are kept as
// the codes they go out as in this depth, so colours the terminal cannot
// tell apart are never written twice.
struct TermPainter {
  TermColours colours = TermColours::Direct24;
  TermCharset charset = TermCharset::Utf8;
  StandardColours standard{};  // what the 16 ANSI colours stand for

  // Private to TermPaint.cpp.
  bool whole = true;
  int gridColumns = 0, gridRows = 0;
  std::vector<TermCell> cells;      // colours as codes
  std::vector<std::optional<std::string>> lines;  // the console rows as last written
  int row = -1, column = -1;        // cursor; -1: not known
  bool sgrKnown = false;
  std::uint32_t fg = 0, bg = 0;     // codes; kDefault for the terminal's own
};

// The next paint clears the screen and writes everything: after a resize, a
// stop, a message, or when the terminal may show anything at all.
void Invalidate(TermPainter& p);

// The grid of columns x rows cells at the top-left corner: the cells that
// differ from what the terminal shows (all of them after Invalidate).
void PaintCells(TermPainter& p, const std::vector<TermCell>& cells, int columns, int rows, std::string& out);

// Rows top .. top + height - 1 in the terminal's own colours: the last
// `height` of `lines` (code page 1252), the last at the bottom, each cut to
// `width` - 1 characters; only the rows that changed.
void PaintLines(TermPainter& p, int top, int width, int height, const std::vector<std::string>& lines,
                std::string& out);

// Clears the screen and shows `message` on its top row, cut to `width` - 1
// characters. The next paint is a whole one.
void PaintMessage(TermPainter& p, std::string_view message, int width, std::string& out);

}  // namespace Platform
