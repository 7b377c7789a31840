// TermPaint: colours, characters, cursor moves, and the diff of cells.
#include "platform/TermPaint.h"

#include "platform/Text.h"

#include <cstdio>
#include <cstring>

namespace Platform {
namespace {

constexpr std::uint32_t kDefault = 0xFFFFFFFFu;  // the terminal's own colour
constexpr std::uint32_t kUnknown = 0xFFFFFFFEu;  // not known what the terminal has

// ANSI colour i is standard colour AnsiToStandard(i): ANSI counts red as
// bit 0 and blue as bit 2, the program's colours the other way round.
constexpr std::size_t AnsiToStandard(std::uint8_t i) {
  return static_cast<std::size_t>((i & 0b1010) | (i & 1) << 2 | (i & 4) >> 2);
}

// ASCII look-alikes of the bytes 80H..FFH, for terminals that show no more.
constexpr char kAscii[129] =
    "E?,f\".++^%S<O?Z?"
    "?''\"\"*--~Ts>o?zY"
    " !cL?Y|S\"ca<--r-"
    "o+23'uP.,1o>????"
    "AAAAAAACEEEEIIII"
    "DNOOOOOxOUUUUYTs"
    "aaaaaaaceeeeiiii"
    "dnooooo/ouuuuyty";

int Red(std::uint32_t rgb) { return static_cast<int>(rgb >> 16 & 0xFF); }
int Green(std::uint32_t rgb) { return static_cast<int>(rgb >> 8 & 0xFF); }
int Blue(std::uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

int Distance(std::uint32_t a, std::uint32_t b) {
  const int r = Red(a) - Red(b), g = Green(a) - Green(b), bl = Blue(a) - Blue(b);
  return r * r + g * g + bl * bl;
}

// The six levels of the colour cube, and the step of a channel to the nearest.
constexpr int kLevel[6] = {0, 95, 135, 175, 215, 255};
int CubeStep(int v) { return v < 48 ? 0 : v < 115 ? 1 : (v - 35) / 40; }

std::string Lower(const char* s) {
  std::string out;
  for (; *s; ++s) {
    const char c = *s;
    if (c == '-' || c == '_') continue;
    out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

bool Contains(const char* s, const char* part) { return s && std::strstr(s, part); }

// ---------------------------------------------------------------- writing

std::uint32_t Code(const TermPainter& p, std::uint32_t rgb) {
  switch (p.colours) {
    case TermColours::Direct24:
      return rgb & 0xFFFFFF;
    case TermColours::Palette256:
      return Nearest256(rgb);
    case TermColours::Ansi16:
      break;
  }
  return Nearest16(rgb, p.standard);
}

void AppendColour(std::string& out, TermColours mode, std::uint32_t code, bool background) {
  char buf[24];
  int n = 0;
  switch (mode) {
    case TermColours::Direct24:
      n = std::snprintf(buf, sizeof buf, "%d;2;%d;%d;%d", background ? 48 : 38, Red(code), Green(code), Blue(code));
      break;
    case TermColours::Palette256:
      n = std::snprintf(buf, sizeof buf, "%d;5;%u", background ? 48 : 38, code);
      break;
    case TermColours::Ansi16:
      n = std::snprintf(buf, sizeof buf, "%u", code < 8 ? (background ? 40 : 30) + code : (background ? 100 : 90) + code - 8);
      break;
  }
  out.append(buf, static_cast<std::size_t>(n));
}

// Foreground only when the cell shows one: a block needs its background alone.
void SetColours(TermPainter& p, std::uint32_t fg, std::uint32_t bg, bool withFg, std::string& out) {
  const bool fgChange = withFg && p.fg != fg;
  const bool bgChange = p.bg != bg;
  if (!fgChange && !bgChange) return;
  out += "\x1b[";
  if (fgChange) {
    AppendColour(out, p.colours, fg, false);
    p.fg = fg;
    if (bgChange) out += ';';
  }
  if (bgChange) {
    AppendColour(out, p.colours, bg, true);
    p.bg = bg;
  }
  out += 'm';
}

void DefaultColours(TermPainter& p, std::string& out) {
  if (p.fg == kDefault && p.bg == kDefault) return;
  out += "\x1b[0m";
  p.fg = p.bg = kDefault;
}

// Forward on the same row, else to the place itself. A character written in
// the terminal's last column leaves the cursor waiting to wrap, where a
// forward move would not count from; the next cell is then on another row,
// reached with a place of its own.
void MoveTo(TermPainter& p, int row, int column, std::string& out) {
  if (p.row == row && p.column == column) return;
  char buf[24];
  int n;
  if (p.row == row && p.column >= 0 && column > p.column) {
    n = column - p.column == 1 ? std::snprintf(buf, sizeof buf, "\x1b[C")
                               : std::snprintf(buf, sizeof buf, "\x1b[%dC", column - p.column);
  } else {
    n = std::snprintf(buf, sizeof buf, "\x1b[%d;%dH", row + 1, column + 1);
  }
  out.append(buf, static_cast<std::size_t>(n));
  p.row = row;
  p.column = column;
}

void ClearScreen(TermPainter& p, std::string& out) {
  out += "\x1b[0m\x1b[H\x1b[2J";
  p.fg = p.bg = kDefault;
  p.row = p.column = 0;
  p.cells.clear();
  p.lines.clear();
}

bool Same(const TermCell& a, const TermCell& b) {
  if (a.upperHalf || b.upperHalf) return a.upperHalf == b.upperHalf && a.fg == b.fg && a.bg == b.bg;
  return a.ch == b.ch && a.bg == b.bg && (a.ch == ' ' || a.fg == b.fg);
}

// The upper half block, U+2580.
constexpr std::string_view kUpperHalf = "\xE2\x96\x80";

}  // namespace

// ---------------------------------------------------------------- what the terminal takes

TermColours ColoursFor(const char* colorterm, const char* term) {
  if (Contains(colorterm, "truecolor") || Contains(colorterm, "24bit")) return TermColours::Direct24;
  if (term && std::strlen(term) > 7 && std::strcmp(term + std::strlen(term) - 7, "-direct") == 0)
    return TermColours::Direct24;
  if (Contains(term, "256color")) return TermColours::Palette256;
  return TermColours::Ansi16;
}

TermCharset CharsetFor(const char* lcAll, const char* lcCtype, const char* lang) {
  const char* in = nullptr;
  for (const char* v : {lcAll, lcCtype, lang}) {
    if (v && *v) {
      in = v;
      break;
    }
  }
  if (!in) return TermCharset::Ascii;
  const std::string name = Lower(in);
  if (name.find("utf8") != std::string::npos) return TermCharset::Utf8;
  const std::size_t at = name.find("88591");
  // ISO 8859-15 differs from -1 in the very letters that would need it.
  if (at != std::string::npos && (at + 5 == name.size() || name[at + 5] < '0' || name[at + 5] > '9'))
    return TermCharset::Latin1;
  if (name.find("latin1") != std::string::npos) return TermCharset::Latin1;
  return TermCharset::Ascii;
}

std::uint8_t Nearest256(std::uint32_t rgb) {
  const int r = CubeStep(Red(rgb)), g = CubeStep(Green(rgb)), b = CubeStep(Blue(rgb));
  const std::uint32_t cube = static_cast<std::uint32_t>(kLevel[r] << 16 | kLevel[g] << 8 | kLevel[b]);
  const int average = (Red(rgb) + Green(rgb) + Blue(rgb)) / 3;
  const int step = average < 8 ? 0 : average > 238 ? 23 : (average - 3) / 10;
  const int level = 8 + 10 * step;
  const std::uint32_t grey = static_cast<std::uint32_t>(level << 16 | level << 8 | level);
  if (Distance(rgb, grey) < Distance(rgb, cube)) return static_cast<std::uint8_t>(232 + step);
  return static_cast<std::uint8_t>(16 + 36 * r + 6 * g + b);
}

std::uint8_t Nearest16(std::uint32_t rgb, const StandardColours& standard) {
  std::uint8_t best = 0;
  for (std::uint8_t i = 1; i < 16; ++i)
    if (Distance(rgb, standard[AnsiToStandard(i)]) < Distance(rgb, standard[AnsiToStandard(best)])) best = i;
  return best;
}

void AppendChar(std::string& out, char ch, TermCharset charset) {
  const auto c = static_cast<unsigned char>(ch);
  if (c < 0x20 || c == 0x7F) {
    out += '?';
  } else if (c < 0x80) {
    out += ch;
  } else if (charset == TermCharset::Utf8) {
    const char32_t u = Cp1252ToUnicode(c);
    if (u < 0xA0) {
      out += '?';  // the bytes the code page leaves undefined: C1 controls
    } else {
      out += Cp1252ToUtf8(std::string_view(&ch, 1));
    }
  } else if (charset == TermCharset::Latin1 && c >= 0xA0) {
    out += ch;
  } else {
    out += kAscii[c - 0x80];
  }
}

// ---------------------------------------------------------------- painting

void Invalidate(TermPainter& p) { p.whole = true; }

void PaintCells(TermPainter& p, const std::vector<TermCell>& cells, int columns, int rows, std::string& out) {
  const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
  if (cells.size() < count) return;
  if (p.whole || p.gridColumns != columns || p.gridRows != rows || p.cells.size() != count) {
    ClearScreen(p, out);
    p.whole = false;
    p.gridColumns = columns;
    p.gridRows = rows;
    p.cells.assign(count, TermCell{kUnknown, kUnknown, '\0'});
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const std::size_t i = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c);
      TermCell want{Code(p, cells[i].fg), Code(p, cells[i].bg), cells[i].ch, cells[i].upperHalf};
      // Two squares the terminal shows alike are one block: a space is one byte.
      if (want.upperHalf && want.fg == want.bg) want = {want.fg, want.bg, ' ', false};
      if (Same(want, p.cells[i])) continue;
      MoveTo(p, r, c, out);
      SetColours(p, want.fg, want.bg, want.upperHalf || want.ch != ' ', out);
      if (want.upperHalf) {
        out += kUpperHalf;
      } else {
        AppendChar(out, want.ch, p.charset);
      }
      ++p.column;
      p.cells[i] = want;
    }
  }
}

void PaintLines(TermPainter& p, int top, int width, int height, const std::vector<std::string>& lines,
                std::string& out) {
  if (height <= 0 || width <= 1) return;
  if (p.lines.size() != static_cast<std::size_t>(height)) p.lines.assign(static_cast<std::size_t>(height), {});
  for (int k = 0; k < height; ++k) {
    const long from = static_cast<long>(lines.size()) - height + k;
    std::string_view text = from >= 0 ? std::string_view(lines[static_cast<std::size_t>(from)]) : std::string_view();
    text = text.substr(0, static_cast<std::size_t>(width - 1));
    auto& shown = p.lines[static_cast<std::size_t>(k)];
    if (shown && *shown == text) continue;
    DefaultColours(p, out);
    MoveTo(p, top + k, 0, out);
    out += "\x1b[K";
    for (char ch : text) AppendChar(out, ch, p.charset);
    p.column += static_cast<int>(text.size());
    shown = std::string(text);
  }
}

void PaintMessage(TermPainter& p, std::string_view message, int width, std::string& out) {
  ClearScreen(p, out);
  message = message.substr(0, width > 1 ? static_cast<std::size_t>(width - 1) : 0);
  for (char ch : message) AppendChar(out, ch, p.charset);
  p.column = static_cast<int>(message.size());
  p.whole = true;
}

}  // namespace Platform
