// The board on the screen: the playfield as a mosaic of 15-pixel squares,
// one per cell of `scherm`, and the window it is drawn in. Also the game
// screen's fixed geometry.
// Depends on: the rules' state, Graph, IO (the console line when there is
// no window).
#pragma once

#include <cstdint>

namespace Game {

// Cell (x, y) covers pixels x*15+1 .. (x+1)*15 across, y*15+1 .. (y+1)*15 down.
constexpr std::uint32_t kCellSize = 15;
constexpr std::uint32_t kCellOrigin = 1;  // the first pixel of cell (0, 0), each way

// The graphics window: frame at (1, 1), drawing area 555 x 600.
constexpr std::uint32_t kWindowX = 1;
constexpr std::uint32_t kWindowY = 1;
constexpr std::uint32_t kWindowWidth = 555;
constexpr std::uint32_t kWindowDepth = 600;

// The empty playfield with its walls, then the window opened (or reset),
// told that the picture is a mosaic of cells. With no window a line on the
// console, and the game goes on blind.
void FillScreen();

// The cells around the falling piece's centre: columns xC - 2 .. xC + 3,
// rows yC - 2 .. yC + 2, cut to the grid.
void DrawScreen();

// Every cell of columns 0 to 22 and rows 0 to 31: walls and interior.
void DrawFullScreen();

}  // namespace Game
