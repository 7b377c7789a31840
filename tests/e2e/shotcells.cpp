// shotcells: reads a screenshot of the game's drawing area (binary PPM on
// standard input, 555 x 600) and answers in the game's colour numbers, for
// the end-to-end scripts:
//   shotcells at X Y             colour of pixel (X, Y), or ? when none
//   shotcells count X0 Y0 X1 Y1 C   pixels of colour C in the box
//   shotcells down K             the picture shown at scale K (a shot K times
//                                the size) as the PPM of its scale-1 pixels,
//                                on standard output; status 1, and the first
//                                K x K block not of one colour on standard
//                                error, when it is no such picture
//   shotcells same REF [X0 Y0 X1 Y1]   "same" when the shot and the PPM file
//                                REF are pixel for pixel the same (outside
//                                the box, when one is given), else how many
//                                pixels differ and the first of them
//   shotcells board              the 23 x 32 cells, one hex digit a cell
//   shotcells piece C            cells of colour C inside the walls: "at X Y
//                                shape dx,dy ..." from the leftmost column
//                                and the top row, or "none"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "../support/Palette.h"

namespace {

constexpr const auto& kRgb = TestPalette::kStandard;

int width = 0, depth = 0;
std::vector<std::uint32_t> pixels;

struct Image {
  int width = 0, depth = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t operator()(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

bool ReadPpm(std::FILE* in, Image& image) {
  int maxval = 0;
  if (std::fscanf(in, "P6 %d %d %d", &image.width, &image.depth, &maxval) != 3 || maxval != 255) return false;
  std::fgetc(in);  // the one white space after the header
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.depth);
  for (auto& p : image.pixels) {
    unsigned char rgb[3];
    if (std::fread(rgb, 1, 3, in) != 3) return false;
    p = std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
  }
  return true;
}

bool ReadPpm() {
  Image image;
  if (!ReadPpm(stdin, image)) return false;
  width = image.width;
  depth = image.depth;
  pixels = std::move(image.pixels);
  return true;
}

// `down K`: every K x K block must be of one colour; the picture of one
// pixel a block goes to standard output.
int Down(int k) {
  if (k < 1 || width % k != 0 || depth % k != 0) {
    std::fprintf(stderr, "shotcells: %d x %d is not a picture at scale %d\n", width, depth, k);
    return 1;
  }
  const Image shot{width, depth, pixels};
  for (int y = 0; y < depth; ++y)
    for (int x = 0; x < width; ++x)
      if (shot(x, y) != shot(x - x % k, y - y % k)) {
        std::fprintf(stderr, "shotcells: the block at (%d, %d) is not one colour: %06X at (%d, %d)\n", x / k, y / k,
                     shot(x, y), x, y);
        return 1;
      }
  std::printf("P6 %d %d 255\n", width / k, depth / k);
  for (int y = 0; y < depth; y += k)
    for (int x = 0; x < width; x += k) {
      const std::uint32_t p = shot(x, y);
      const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                    static_cast<unsigned char>(p)};
      std::fwrite(rgb, 1, 3, stdout);
    }
  return 0;
}

// `same REF [box]`.
int Same(const char* path, int x0, int y0, int x1, int y1) {
  Image ref;
  std::FILE* in = std::fopen(path, "rb");
  const bool read = in && ReadPpm(in, ref);
  if (in) std::fclose(in);
  if (!read || ref.width != width || ref.depth != depth) {
    std::printf("not the same size as %s\n", path);
    return 0;
  }
  const Image shot{width, depth, pixels};
  int differ = 0, fx = -1, fy = -1;
  for (int y = 0; y < depth; ++y)
    for (int x = 0; x < width; ++x)
      if (!(x >= x0 && x <= x1 && y >= y0 && y <= y1) && shot(x, y) != ref(x, y) && differ++ == 0) fx = x, fy = y;
  if (differ == 0) {
    std::printf("same\n");
  } else {
    std::printf("%d pixels differ, the first at (%d, %d): %06X, not %06X\n", differ, fx, fy, shot(fx, fy), ref(fx, fy));
  }
  return 0;
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
  } else if (what == "down" && argc == 3) {
    return Down(Arg(argv, 2));
  } else if (what == "same" && (argc == 3 || argc == 7)) {
    return argc == 3 ? Same(argv[2], 1, 1, 0, 0) : Same(argv[2], Arg(argv, 3), Arg(argv, 4), Arg(argv, 5), Arg(argv, 6));
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
