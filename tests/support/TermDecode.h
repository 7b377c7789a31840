// A small terminal for tests: applies what a program writes to a terminal
// (or what tmux's capture-pane -e prints) to a grid of cells, as an
// xterm-style terminal would: printable UTF-8, CR and LF, cursor position
// and forward, erase in display and in line, the colours of SGR (the 16,
// the 256 and 24-bit forms, defaults and reset), the alternate screen
// (the cursor saved on the way in and restored on the way out, as mode 1049
// does) and the cursor's visibility. Anything else counts in `unknown`.
// Depends on: nothing but the C++ library.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace TermDecode {

// A colour as it was given: the terminal's default, an index (0..255, the
// 16 ANSI colours being 0..15) or 24-bit RGB.
struct Colour {
  enum Kind : std::uint8_t { Default, Index, Rgb } kind = Default;
  std::uint32_t value = 0;
  bool operator==(const Colour&) const = default;
};

struct Cell {
  std::string ch = " ";  // one character, UTF-8
  Colour fg, bg;
};

class Screen {
 public:
  Screen(int columns, int rows) : columns_(columns), rows_(rows), main_(Blank()), alternate_(Blank()) {}

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  bool alternate = false;
  bool cursorVisible = true;
  int row = 0, column = 0;
  int unknown = 0;   // sequences not understood
  int scrolled = 0;  // lines pushed off the top
  int printed = 0;   // characters written

  const Cell& at(int r, int c) const { return Grid()[static_cast<std::size_t>(r * columns_ + c)]; }

  // The characters of a row, trailing spaces cut.
  std::string Text(int r) const {
    std::string s;
    for (int c = 0; c < columns_; ++c) s += at(r, c).ch;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  void Feed(std::string_view bytes) {
    for (char b : bytes) Byte(static_cast<unsigned char>(b));
  }

 private:
  int columns_, rows_;
  std::vector<Cell> main_, alternate_;
  Colour fg_, bg_;
  bool wrapPending_ = false;
  int savedRow_ = 0, savedColumn_ = 0;
  enum class State { Text, Escape, Csi } state_ = State::Text;
  std::string params_;
  std::string utf8_;
  int utf8Left_ = 0;

  std::vector<Cell> Blank() const { return std::vector<Cell>(static_cast<std::size_t>(columns_ * rows_)); }
  std::vector<Cell>& Grid() { return alternate ? alternate_ : main_; }
  const std::vector<Cell>& Grid() const { return alternate ? alternate_ : main_; }

  void NewLine() {
    if (++row < rows_) return;
    row = rows_ - 1;
    ++scrolled;
    auto& g = Grid();
    g.erase(g.begin(), g.begin() + columns_);
    g.insert(g.end(), static_cast<std::size_t>(columns_), Cell{" ", fg_, bg_});
  }

  void Put(const std::string& ch) {
    if (wrapPending_) {
      column = 0;
      NewLine();
      wrapPending_ = false;
    }
    Grid()[static_cast<std::size_t>(row * columns_ + column)] = Cell{ch, fg_, bg_};
    ++printed;
    if (column + 1 < columns_) {
      ++column;
    } else {
      wrapPending_ = true;
    }
  }

  void Erase(int from, int to) {  // cells [from, to) of the grid, in the current background
    for (int k = from; k < to; ++k) Grid()[static_cast<std::size_t>(k)] = Cell{" ", Colour{}, bg_};
  }

  std::vector<int> Numbers() const {
    std::vector<int> n(1, -1);
    for (char c : params_) {
      if (c == ';') {
        n.push_back(-1);
      } else if (c >= '0' && c <= '9') {
        n.back() = (n.back() < 0 ? 0 : n.back() * 10) + (c - '0');
      }
    }
    return n;
  }

  void Sgr(const std::vector<int>& n) {
    for (std::size_t k = 0; k < n.size(); ++k) {
      const int p = n[k] < 0 ? 0 : n[k];
      if (p == 0) {
        fg_ = bg_ = Colour{};
      } else if ((p == 38 || p == 48) && k + 1 < n.size()) {
        Colour c;
        if (n[k + 1] == 5 && k + 2 < n.size()) {
          c = {Colour::Index, static_cast<std::uint32_t>(n[k + 2])};
          k += 2;
        } else if (n[k + 1] == 2 && k + 4 < n.size()) {
          c = {Colour::Rgb, static_cast<std::uint32_t>(n[k + 2] << 16 | n[k + 3] << 8 | n[k + 4])};
          k += 4;
        } else {
          ++unknown;
          return;
        }
        (p == 38 ? fg_ : bg_) = c;
      } else if (p >= 30 && p <= 37) {
        fg_ = {Colour::Index, static_cast<std::uint32_t>(p - 30)};
      } else if (p >= 90 && p <= 97) {
        fg_ = {Colour::Index, static_cast<std::uint32_t>(p - 90 + 8)};
      } else if (p >= 40 && p <= 47) {
        bg_ = {Colour::Index, static_cast<std::uint32_t>(p - 40)};
      } else if (p >= 100 && p <= 107) {
        bg_ = {Colour::Index, static_cast<std::uint32_t>(p - 100 + 8)};
      } else if (p == 39) {
        fg_ = Colour{};
      } else if (p == 49) {
        bg_ = Colour{};
      }  // bold and the like: no colour
    }
  }

  void Csi(char final) {
    const std::vector<int> n = Numbers();
    const auto arg = [&](std::size_t k, int fallback) { return k < n.size() && n[k] > 0 ? n[k] : fallback; };
    if (!params_.empty() && params_[0] == '?') {
      const bool on = final == 'h';
      for (int mode : n) {
        if (mode == 1049) {  // the cursor saved on the way in, restored on the way out
          if (on && !alternate) {
            savedRow_ = row;
            savedColumn_ = column;
            alternate_ = Blank();
          } else if (!on && alternate) {
            row = savedRow_;
            column = savedColumn_;
          }
          alternate = on;
        } else if (mode == 25) {
          cursorVisible = on;
        } else {
          ++unknown;
        }
      }
      return;
    }
    wrapPending_ = false;
    switch (final) {
      case 'H':
        row = std::min(arg(0, 1), rows_) - 1;
        column = std::min(arg(1, 1), columns_) - 1;
        break;
      case 'C':
        column = std::min(column + arg(0, 1), columns_ - 1);
        break;
      case 'J':
        if (arg(0, 0) == 2) {
          Erase(0, rows_ * columns_);
        } else {
          ++unknown;
        }
        break;
      case 'K':
        if (arg(0, 0) == 0) {
          Erase(row * columns_ + column, (row + 1) * columns_);
        } else {
          ++unknown;
        }
        break;
      case 'm':
        Sgr(n);
        break;
      default:
        ++unknown;
    }
  }

  void Byte(unsigned char b) {
    switch (state_) {
      case State::Escape:
        if (b == '[') {
          state_ = State::Csi;
          params_.clear();
        } else {
          ++unknown;
          state_ = State::Text;
        }
        return;
      case State::Csi:
        if (b >= 0x40 && b <= 0x7E) {
          Csi(static_cast<char>(b));
          state_ = State::Text;
        } else {
          params_ += static_cast<char>(b);
        }
        return;
      case State::Text:
        break;
    }
    if (utf8Left_ > 0 && (b & 0xC0) == 0x80) {
      utf8_ += static_cast<char>(b);
      if (--utf8Left_ == 0) Put(utf8_);
      return;
    }
    if (utf8Left_ > 0) Put(utf8_);  // a broken sequence still takes its cell
    utf8Left_ = 0;
    if (b == 0x1B) {
      state_ = State::Escape;
    } else if (b == '\r') {
      column = 0;
      wrapPending_ = false;
    } else if (b == '\n') {
      column = 0;  // output processing turns LF into CR LF
      wrapPending_ = false;
      NewLine();
    } else if (b < 0x20 || b == 0x7F) {
      if (b != '\a') ++unknown;
    } else if (b < 0x80) {
      Put(std::string(1, static_cast<char>(b)));
    } else {
      utf8_ = std::string(1, static_cast<char>(b));
      utf8Left_ = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
      if (utf8Left_ == 0) Put(utf8_);  // not UTF-8: one byte, one character
    }
  }
};

}  // namespace TermDecode
