// make_icons: draws Stack Fall's icon with the game's own code and writes it
// as PNG files, one a size. The picture is the lower left corner of a board:
// pieces of the game's own shapes, turned by its rule, dropped by its moves
// and settled, one H still falling, all drawn by DrawFullScreen into the
// back buffer of a window that is never opened. Beside the PNGs it writes
// the window's own icon as source (stackfall-icon.inc: SDL has no PNG
// loader, so the window takes its pixels from there). The results are
// committed in dist/icons/; run it again only to change the icon:
//
//     build/dist/make_icons dist/icons
//
// Output is deterministic, so a test can check the committed files.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dist/PngFile.h"
#include "game/Board.h"
#include "game/Rules.h"
#include "graph/Graph.h"

namespace {

// A piece: its type, the quarter turns it is given, and the cell its centre
// comes to rest on.
struct Piece {
  std::uint32_t type;
  std::uint32_t turns;
  std::uint32_t column;
  std::uint32_t row;
  std::uint32_t kleur;
};

// Bottom up, each dropped onto the ones before; the last is left falling.
const Piece kPieces[] = {
    {6, 1, 2, 30, 9},    // bar, lying
    {0, 0, 6, 30, 10},   // square
    {3, 1, 8, 30, 15},   // T, stem up
    {5, 3, 11, 30, 6},   // L
    {4, 1, 14, 30, 11},  // L
    {12, 0, 4, 29, 2},   // corner
    {1, 1, 2, 28, 5},    // skew
    {9, 1, 10, 28, 13},  // H, lying
    {0, 0, 15, 29, 3},   // square
    {6, 1, 6, 28, 7},    // bar, lying
    {0, 0, 13, 28, 9},   // square
    {6, 1, 10, 26, 2},   // bar, lying
    {0, 0, 15, 27, 5},   // square
    {3, 3, 13, 25, 10},  // T, stem down
    {9, 0, 6, 20, 14},   // H, falling
};

// The corner shown: 16 x 16 cells from the left wall down to the floor, so
// that every size here is a whole number of pixels a cell.
constexpr std::uint32_t kFirstColumn = 0;
constexpr std::uint32_t kFirstRow = 16;
constexpr std::uint32_t kCells = 16;
constexpr std::uint32_t kCellPixels = 15;  // as the board draws them
const std::uint32_t kSizes[] = {16, 32, 48, 64, 128, 256};
constexpr std::uint32_t kWindowIconSize = 64;

// Puts the piece in the open with its centre in its column, turns it there
// and lets it fall to its row; false if something is in the way.
bool Drop(const Piece& p) {
  constexpr std::uint32_t kAir = 8;  // the row its centre appears in
  std::uint32_t ca = 0, cb = 0;
  for (std::uint32_t a = 1; a <= 3; ++a)
    for (std::uint32_t b = 1; b <= 4; ++b)
      if (Game::arr[p.type][a][b].Beweging == Game::CBewegend) ca = a, cb = b;
  for (std::uint32_t a = 1; a <= 3; ++a) {
    for (std::uint32_t b = 1; b <= 4; ++b) {
      const Game::BewegingEn state = Game::arr[p.type][a][b].Beweging;
      if (state != Game::Leeg) Game::scherm[p.column + a - ca][kAir + b - cb] = {state, p.kleur};
    }
  }
  Game::typegetal = p.type;
  Game::xC = p.column;
  Game::yC = kAir;
  for (std::uint32_t k = 0; k < p.turns; ++k) Game::RotateBlock();
  while (Game::yC < p.row && Game::CheckUnder()) Game::DropBlock();
  return Game::xC == p.column && Game::yC == p.row;
}

// The board with every piece in place, drawn into the back buffer.
bool DrawBoard() {
  Game::FillPieceTable();
  Graph::SelectHeadless();
  Game::FillScreen();
  for (const Piece& p : kPieces) {
    if (!Drop(p)) {
      std::fprintf(stderr, "make_icons: piece %td does not reach its place\n", &p - kPieces);
      return false;
    }
    if (&p != std::end(kPieces) - 1) Game::AllStop();
  }
  Game::DrawFullScreen();
  return true;
}

// The icon of `size` pixels, as palette indices: each board cell a square of
// size / 16 pixels in the colour the back buffer shows at the cell's middle.
std::vector<std::uint8_t> Icon(std::uint32_t size, const std::vector<std::uint32_t>& palette) {
  const std::uint32_t step = size / kCells;
  std::vector<std::uint8_t> indices(std::size_t{size} * size);
  for (std::uint32_t y = 0; y < size; ++y) {
    for (std::uint32_t x = 0; x < size; ++x) {
      const std::uint32_t column = kFirstColumn + x / step;
      const std::uint32_t row = kFirstRow + y / step;
      const std::uint32_t rgb = Graph::Pixel(column * kCellPixels + 8, row * kCellPixels + 8);
      std::uint8_t index = 0;
      while (index + 1u < palette.size() && palette[index] != rgb) ++index;
      indices[std::size_t{y} * size + x] = index;
    }
  }
  return indices;
}

// The window's icon as C++ source: the palette and one string of hex digits
// (palette indices) a row.
std::string IconSource(const std::vector<std::uint32_t>& palette, const std::vector<std::uint8_t>& indices) {
  std::string out =
      "// Stack Fall's window icon, " + std::to_string(kWindowIconSize) + " x " + std::to_string(kWindowIconSize) +
      " pixels: written by dist/MakeIcons.cpp\n"
      "// (make_icons), as the PNGs beside it are; do not edit. Each row is one hex\n"
      "// digit a pixel, an index into kIconPalette (0x00RRGGBB).\n"
      "// Depends on: <cstdint>.\n"
      "constexpr int kIconSize = " + std::to_string(kWindowIconSize) + ";\n"
      "constexpr std::uint32_t kIconPalette[16] = {";
  char hex[16];
  for (std::size_t c = 0; c < 16; ++c) {
    std::snprintf(hex, sizeof hex, "%s0x%06X", c % 4 == 0 ? "\n    " : " ", c < palette.size() ? palette[c] : 0u);
    out += hex;
    out += c < 15 ? "," : "};\n";
  }
  out += "constexpr const char* kIconRows[kIconSize] = {\n";
  for (std::uint32_t y = 0; y < kWindowIconSize; ++y) {
    out += "    \"";
    for (std::uint32_t x = 0; x < kWindowIconSize; ++x) out += "0123456789ABCDEF"[indices[y * kWindowIconSize + x] & 15];
    out += "\",\n";
  }
  return out + "};\n";
}

// Writes `bytes` to `path`; false, with a word on stderr, when it cannot.
bool WriteFile(const std::string& path, const char* bytes, std::size_t size) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes, static_cast<std::streamsize>(size));
  file.close();
  if (!file) std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  if (!DrawBoard()) return 1;
  // The 16 colours as the back buffer holds them, read where no cell is
  // drawn (the board's cells start at pixel 1).
  std::vector<std::uint32_t> palette;
  for (std::uint32_t c = 0; c < 16; ++c) {
    Graph::Plot(0, 0, c);
    palette.push_back(Graph::Pixel(0, 0));
  }
  const std::string folder = argv[1];
  for (std::uint32_t size : kSizes) {
    const std::vector<std::uint8_t> png = PngFile::Encode(size, size, palette, Icon(size, palette));
    const std::string path = folder + "/stackfall-" + std::to_string(size) + ".png";
    if (!WriteFile(path, reinterpret_cast<const char*>(png.data()), png.size())) return 1;
  }
  const std::string source = IconSource(palette, Icon(kWindowIconSize, palette));
  return WriteFile(folder + "/stackfall-icon.inc", source.data(), source.size()) ? 0 : 1;
}
