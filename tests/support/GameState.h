// Test support for the game's rules: resetting the module state, a snapshot
// of all of it (both from game/State.h's one list), and drawing or reading parts of the playfield as small
// pictures ('.' Leeg, 'S' Stil, '#' Bewegend, 'C' CBewegend).
// Depends on: game/Rules.h, game/State.h, GoogleTest.
#pragma once

#include "game/Rules.h"
#include "game/State.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace GameTest {

// Every module variable as at program start, the piece table filled, the
// generator at its first number and an empty playfield.
inline void ResetGameState() {
  Game::ResetState();
  Game::FillPieceTable();
  Game::FillPlayfield();
}

// A fixture that starts every test from ResetGameState().
class FreshGame : public ::testing::Test {
 protected:
  void SetUp() override { ResetGameState(); }
};

// Fills row y of the interior with settled cells of colour `kleur`, except
// the columns named.
inline void FillRow(std::uint32_t y, std::initializer_list<std::uint32_t> gaps = {}, std::uint32_t kleur = 7) {
  for (std::uint32_t x = Game::kInteriorLeft; x <= Game::kInteriorRight; ++x) {
    bool gap = false;
    for (std::uint32_t g : gaps) gap = gap || g == x;
    if (!gap) Game::scherm[x][y] = {Game::Stil, kleur};
  }
}

inline char Mark(Game::BewegingEn b) { return ".S#C"[b]; }

// Writes a picture with its top-left corner at (x0, y0): '.' leaves a cell
// alone, the other marks set the state and the colour.
inline void Draw(std::uint32_t x0, std::uint32_t y0, const std::vector<std::string>& rows,
                 std::uint32_t kleur = 7) {
  for (std::uint32_t dy = 0; dy < rows.size(); ++dy) {
    for (std::uint32_t dx = 0; dx < rows[dy].size(); ++dx) {
      const char c = rows[dy][dx];
      if (c == '.') continue;
      Game::scherm[x0 + dx][y0 + dy] = {c == 'S' ? Game::Stil : c == 'C' ? Game::CBewegend : Game::Bewegend, kleur};
    }
  }
}

// The states of `width` x `height` cells from (x0, y0), one string per row.
inline std::vector<std::string> Picture(std::uint32_t x0, std::uint32_t y0, std::uint32_t width,
                                        std::uint32_t height) {
  std::vector<std::string> rows(height);
  for (std::uint32_t dy = 0; dy < height; ++dy) {
    for (std::uint32_t dx = 0; dx < width; ++dx) rows[dy] += Mark(Game::scherm[x0 + dx][y0 + dy].Beweging);
  }
  return rows;
}

// Puts piece `type` with its box's top-left cell at (left, top), as a spawn
// would but at any place and with one colour; sets typegetal, xC and yC.
inline void PlacePiece(std::uint32_t type, std::uint32_t left, std::uint32_t top, std::uint32_t kleur = 7) {
  for (std::uint32_t a = 1; a <= 3; ++a) {
    for (std::uint32_t b = 1; b <= 4; ++b) {
      const Game::BewegingEn s = Game::arr[type][a][b].Beweging;
      if (s == Game::Leeg) continue;
      Game::scherm[left + a - 1][top + b - 1] = {s, kleur};
      if (s == Game::CBewegend) {
        Game::xC = left + a - 1;
        Game::yC = top + b - 1;
      }
    }
  }
  Game::typegetal = type;
}

// The moving cells of the interior: how many, and their lowest column / row.
struct MovingCells {
  std::uint32_t count = 0;
  std::uint32_t left = ~0u;
  std::uint32_t top = ~0u;
};

inline MovingCells FindMoving() {
  MovingCells found;
  for (std::uint32_t x = Game::kInteriorLeft; x <= Game::kInteriorRight; ++x) {
    for (std::uint32_t y = Game::kInteriorTop; y <= Game::kInteriorBottom; ++y) {
      if (!Game::IsMoving(Game::scherm[x][y])) continue;
      ++found.count;
      if (x < found.left) found.left = x;
      if (y < found.top) found.top = y;
    }
  }
  return found;
}

}  // namespace GameTest
