// The 14 piece shapes and the spawning of a new piece at the top of the
// playfield.
#include "game/Rules.h"

namespace Game {

namespace {

// Each shape as its four box rows, top to bottom, each row the box columns
// a = 1..3: '#' a cell, 'C' the centre (the pivot of a turn), '.' nothing.
constexpr const char* kShapes[kPieceTypes][4] = {
    {"##.", "#C.", "...", "..."},  //  0 square
    {"#..", "#C.", ".#.", "..."},  //  1 skew, upper cells left
    {".#.", "C#.", "#..", "..."},  //  2 skew, upper cells right
    {".#.", ".C#", ".#.", "..."},  //  3 T, stem right
    {".##", ".C.", ".#.", "..."},  //  4 L, foot top right
    {"##.", ".C.", ".#.", "..."},  //  5 L, foot top left
    {"#..", "C..", "#..", "#.."},  //  6 bar
    {"##.", ".C.", ".##", "..."},  //  7 five-cell Z
    {"##.", "#C.", "..#", "..."},  //  8 square with a corner cell
    {"#.#", "#C#", "#.#", "..."},  //  9 H
    {".##", "#C.", "#..", "..."},  // 10 staircase
    {"#..", ".C.", "..#", "..."},  // 11 diagonal
    {".#.", "#C.", "...", "..."},  // 12 corner
    {"#.#", "#C#", ".#.", "..."},  // 13 H with joined lower legs
};

constexpr std::uint32_t kBoxColumns = 3;
constexpr std::uint32_t kBoxRows = 4;

}  // namespace

void FillPieceTable() {
  for (std::uint32_t t = 0; t < kPieceTypes; ++t) {
    for (std::uint32_t b = 1; b <= kBoxRows; ++b) {
      for (std::uint32_t a = 1; a <= kBoxColumns; ++a) {
        const char mark = kShapes[t][b - 1][a - 1];
        if (mark == '#') arr[t][a][b].Beweging = Bewegend;
        if (mark == 'C') arr[t][a][b].Beweging = CBewegend;
      }
    }
  }
}

void InsertBlock() {
  // Three draws from the one sequence, in this order.
  typegetal = RandomCard(0, 13);
  const std::uint32_t kleur = RandomCard(1, 15);
  const std::uint32_t startx = RandomCard(3, 17);

  for (std::uint32_t a = 1; a <= kBoxColumns; ++a) {
    for (std::uint32_t b = 1; b <= kBoxRows; ++b) {
      const SquareType& s = arr[typegetal][a][b];
      SquareType& cell = scherm[startx + a][b];
      // An empty cell takes the whole box entry, so an empty entry resets
      // its colour to 0; an occupied one keeps its state.
      if (cell.Beweging == Leeg) {
        cell = s;
      } else if (s.Beweging != Leeg) {
        game_over = true;
      }
      // Deliberate: a settled cell under the new piece takes the piece's colour.
      if (s.Beweging != Leeg) cell.Kleur = kleur;
      // A centre that lands on a settled cell leaves xC, yC at the last
      // piece's centre; the turn copes with a stale centre (Rotate.cpp).
      if (cell.Beweging == CBewegend) {
        xC = startx + a;
        yC = b;
      }
    }
  }
}

}  // namespace Game
