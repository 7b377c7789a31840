// Drawing the playfield. Every cell is one filled rectangle: colour 0 when
// the cell is empty, whatever its Kleur still holds, else its Kleur.
#include "game/Board.h"

#include "console/IO.h"
#include "game/Rules.h"
#include "game/State.h"
#include "game/CentreSpan.h"
#include "graph/Graph.h"

namespace Game {

namespace {

void DrawCell(std::uint32_t x, std::uint32_t y) {
  const SquareType& cell = scherm[x][y];
  const std::uint32_t colour = cell.Beweging == Leeg ? 0 : cell.Kleur;
  Graph::Rectangle(x * kCellSize + 1, y * kCellSize + 1, (x + 1) * kCellSize, (y + 1) * kCellSize, colour, true);
}

}  // namespace

void FillScreen() {
  FillPlayfield();
  Graph::SetMosaic(kCellSize, kCellOrigin);
  if (!Graph::Init(kWindowX, kWindowY, kWindowWidth, kWindowDepth)) {
    IO::WrStr("Sorry, graphics doesn't work");
    IO::WrLn();
  }
}

void DrawScreen() {
  // Mended: cut to the grid: with the centre in column 1 the span starts at
  // column 0, and a stale centre (a spawn whose centre cell was taken) may
  // name any cell, or one left of the grid.
  const Span columns = CutSpan(xC, 2, 3, kColumns);
  const Span rows = CutSpan(yC, 2, 2, kRows);
  for (std::uint32_t x = columns.first; x < columns.first + columns.count; ++x) {
    for (std::uint32_t y = rows.first; y < rows.first + rows.count; ++y) DrawCell(x, y);
  }
}

void DrawFullScreen() {
  for (std::uint32_t x = kLeftWall; x <= kRightWall; ++x) {
    for (std::uint32_t y = kTopWall; y <= kFloor; ++y) DrawCell(x, y);
  }
}

}  // namespace Game
