// Graph: the game's one drawing surface, painted with colour numbers of a
// 16-entry palette. The drawing operations run on the caller's thread (one
// caller thread) and draw on the picture (graph/Picture, the back buffer);
// a view shows it within a display frame: the window of its own, served by
// the window server thread, which also writes the window's keys into the
// console input buffer (graph/WindowView), or with no display the terminal
// (graph/TerminalView). Which one is graph/ViewChoice's business alone; the
// game never knows.
// Depends on: graph/Picture, graph/TextLayer, graph/ViewChoice,
// platform/Text (the font).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace Graph {

// ---------------------------------------------------------------- public variables
// Read by users, written only by Graph.

extern std::uint32_t Width;      // drawing area in pixels, from Init
extern std::uint32_t Depth;
extern std::uint32_t Columns;    // text cells: Width div cell width
extern std::uint32_t Rows;       // (Depth - descent) div cell height
extern std::uint32_t NumPColor;  // colours the display shows at once

// Standard fill masks: the hatches 0..5 and solid.
constexpr std::uint32_t PATSYM_HORIZ = 0;
constexpr std::uint32_t PATSYM_VERT = 1;
constexpr std::uint32_t PATSYM_DIAG2 = 2;   // falling from top-left to bottom-right
constexpr std::uint32_t PATSYM_DIAG1 = 3;   // rising from bottom-left to top-right
constexpr std::uint32_t PATSYM_DENSE2 = 4;  // horizontal and vertical cross hatch
constexpr std::uint32_t PATSYM_DENSE1 = 5;  // diagonal cross hatch
constexpr std::uint32_t PATSYM_SOLID = 8;

// ---------------------------------------------------------------- opening and closing

// Opens the window with its frame at (x, y) and a drawing area of
// width x depth, or closes the open one and opens it anew, then resets the
// drawing state (standard palette, line style 0, opaque, background 0, whole
// surface cleared, text window the whole grid). With no display (or as
// STACKFALL_VIEW says) the terminal on standard output shows the surface
// instead, when it is large enough. FALSE when no view stands or the server
// cannot be started; when only the terminal's size was short the surface is
// drawn all the same, for the view that comes when it is enlarged. The
// window failing to open while the display works ends the program
// ("Couldn't create main window", 9).
bool Init(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth);

// Closes the window; its back buffer goes with it. Nothing when none is open.
void Exit();

// The window's business only, how the picture is shown and never what it
// is: from the next Init on, the window shows it at a whole scale (0: the
// desktop's own scale; 1 until this is called), full screen when asked.
void SetWindowLook(std::uint32_t scale, bool fullScreen);

// From the next Init on: the picture is a mosaic of squares of `square`
// pixels each way, the first from pixel `origin`, which views that show
// characters (the terminal view) show one square a cell pair. 0, as at
// start: no mosaic, and no such view.
void SetMosaic(std::uint32_t square, std::uint32_t origin);

// ---------------------------------------------------------------- drawing
// Colour numbers select palette entry (colour mod 256). Before the
// first successful Init, and after Exit, there is no back buffer and drawing
// does nothing.

// Paints in the background colour: mode 0 the whole surface, mode 2 the text
// window, any other mode nothing; then the text position goes to the text
// window's top-left cell.
void ClearScreen(std::uint32_t mode);

// Corners in either order, both inclusive. fill FALSE: the outline in the
// line style; TRUE: solid outline and the inside with the fill mask. Equal
// corners set that one pixel.
void Rectangle(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2, std::uint32_t colour,
               bool fill);

void Plot(std::uint32_t x, std::uint32_t y, std::uint32_t colour);

// Text of code page 1252 characters with its top-left corner at (x, y): up
// to the first NUL, at most 257 characters, on the background colour when
// the mix is opaque.
void RawOutText(std::uint32_t x, std::uint32_t y, std::uint32_t colour, std::string_view text);

// A character array: the whole array counts when it holds no NUL.
template <std::size_t N>
void RawOutText(std::uint32_t x, std::uint32_t y, std::uint32_t colour, const char (&text)[N]) {
  RawOutText(x, y, colour, std::string_view(text, N));
}

// ---------------------------------------------------------------- palette and drawing state

void InitStdPalette();

// The first min(1024, entries) values (0x00RRGGBB) become the palette: 0.
// -1, nothing changed, when there are more entries than NumPColor.
int RemapAllPalette(std::span<const std::uint32_t> colours);

// Returns the previous background colour number.
std::uint32_t SetBkColor(std::uint32_t colour);

void SetBkMix(bool opaque);

// 0 solid, 1 dotted (3 on, 3 off), 2 dashed (18, 6), 3 dash-dot (9, 6, 3, 6),
// 4 dash-dot-dot (9, 3, 3, 3, 3, 3), 5 no line; above 5 draws solid.
void SetLinestyle(std::uint32_t style);

// A PATSYM_ value; any other value fills solid.
void SetStdFillMask(std::uint32_t mask);
std::uint32_t GetStdFillMask();

// A custom 8 x 8 mask: byte i is row i, bit 7 the leftmost pixel; set bits
// take the fill colour, clear bits the background colour.
void SetFillMask(const std::array<std::uint8_t, 8>& mask);

// ---------------------------------------------------------------- text grid and cursor (1-based cells)

struct RowColumn {
  std::uint32_t row = 0;
  std::uint32_t column = 0;
};

// Clamped into the grid, corners in either order; the text position goes to
// its top-left cell.
void SetTextWindow(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2);

// Clamped into the text window; returns the previous position.
RowColumn SetTextPosition(std::uint32_t column, std::uint32_t row);

// Shows or hides the cursor block (inverted) at the text position; returns
// whether it was wanted before.
bool DisplayCursor(bool on);

// ---------------------------------------------------------------- for headless runs and tests

// From the next Init on: no view, only the picture, on a display of
// `displayBits` bits per pixel. For tests, scenarios and the icon maker.
void SelectHeadless(std::uint32_t displayBits = 24);

// The back buffer's pixel (x, y) as 0x00RRGGBB; 0 outside it or without one.
std::uint32_t Pixel(std::uint32_t x, std::uint32_t y);

// A copy of the whole back buffer, Width x Depth, row by row (empty without one).
std::vector<std::uint32_t> ReadBackBuffer();

// How many frames the views have shown, and whether the view shows
// everything drawn so far (true with none).
std::uint64_t FrameCount();
bool PictureShown();

}  // namespace Graph
