// shotcells: reads a screenshot of the game's drawing area (binary PPM on
// standard input, 555 x 600) and answers in the game's colour numbers, for
// the end-to-end scripts:
//   shotcells at X Y             colour of pixel (X, Y), or ? when none
//   shotcells count X0 Y0 X1 Y1 C   pixels of colour C in the box
//   shotcells board              the 23 x 32 cells, one hex digit a cell
//   shotcells piece C            cells of colour C inside the walls: "at X Y
//                                shape dx,dy ..." from the leftmost column
//                                and the top row, or "none"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../support/Palette.h"

namespace {

constexpr const auto& kRgb = TestPalette::kStandard;

int width = 0, depth = 0;
std::vector<std::uint32_t> pixels;

bool ReadPpm() {
  int maxval = 0;
  if (std::scanf("P6 %d %d %d", &width, &depth, &maxval) != 3 || maxval != 255) return false;
  std::getchar();  // the one white space after the header
  pixels.resize(static_cast<std::size_t>(width) * depth);
  for (auto& p : pixels) {
    unsigned char rgb[3];
    if (std::fread(rgb, 1, 3, stdin) != 3) return false;
    p = std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
  }
  return true;
}

int At(int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= depth) return -1;
  const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
  for (int c = 0; c < 16; ++c)
    if (kRgb[c] == p) return c;
  return -1;
}

int Cell(int x, int y) { return At(x * 15 + 8, y * 15 + 8); }

int Arg(char** argv, int i) { return std::atoi(argv[i]); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !ReadPpm()) {
    std::fprintf(stderr, "usage: shotcells at|count|board|piece ... < shot.ppm\n");
    return 2;
  }
  const std::string what = argv[1];
  if (what == "at" && argc == 4) {
    const int c = At(Arg(argv, 2), Arg(argv, 3));
    c < 0 ? std::printf("?\n") : std::printf("%d\n", c);
  } else if (what == "count" && argc == 7) {
    int n = 0;
    for (int y = Arg(argv, 3); y <= Arg(argv, 5); ++y)
      for (int x = Arg(argv, 2); x <= Arg(argv, 4); ++x) n += At(x, y) == Arg(argv, 6);
    std::printf("%d\n", n);
  } else if (what == "board" && argc == 2) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 23; ++x) {
        const int c = Cell(x, y);
        std::putchar(c < 0 ? '?' : "0123456789abcdef"[c]);
      }
      std::putchar('\n');
    }
  } else if (what == "piece" && argc == 3) {
    const int colour = Arg(argv, 2);
    int left = 99, top = 99;
    for (int x = 1; x <= 21; ++x)
      for (int y = 1; y <= 30; ++y)
        if (Cell(x, y) == colour) {
          if (x < left) left = x;
          if (y < top) top = y;
        }
    if (left == 99) {
      std::printf("none\n");
      return 0;
    }
    std::printf("at %d %d shape", left, top);
    for (int y = 1; y <= 30; ++y)
      for (int x = 1; x <= 21; ++x)
        if (Cell(x, y) == colour) std::printf(" %d,%d", x - left, y - top);
    std::printf("\n");
  } else {
    std::fprintf(stderr, "shotcells: what is %s?\n", what.c_str());
    return 2;
  }
  return 0;
}
