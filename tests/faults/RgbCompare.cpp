// Test tool: compares two raw RGB files (three bytes a pixel, as ImageMagick
// writes rgb:) after keeping only the top bits of each channel, as a display
// of fewer bits per pixel keeps them. Exit 0 when they agree.
//   rgbcompare A.rgb B.rgb RBITS GBITS BBITS WIDTH
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: rgbcompare A.rgb B.rgb RBITS GBITS BBITS WIDTH\n");
    return 2;
  }
  auto read = [](const char* file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<unsigned char>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  };
  const std::vector<unsigned char> a = read(argv[1]), b = read(argv[2]);
  if (a.empty() || a.size() != b.size() || a.size() % 3 != 0) {
    std::fprintf(stderr, "sizes differ or are no RGB: %zu and %zu bytes\n", a.size(), b.size());
    return 1;
  }
  unsigned char masks[3];
  for (int c = 0; c < 3; ++c) masks[c] = static_cast<unsigned char>(0xFF00 >> std::atoi(argv[3 + c]));
  const std::size_t width = std::strtoul(argv[6], nullptr, 10);
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if ((a[i] & masks[i % 3]) == (b[i] & masks[i % 3])) continue;
    if (differing++ == 0 && width > 0) {
      const std::size_t p = i / 3;
      std::fprintf(stderr, "first difference at (%zu, %zu), channel %zu: %02X against %02X\n", p % width,
                   p / width, i % 3, a[i], b[i]);
    }
  }
  if (differing) std::fprintf(stderr, "%zu channel values differ\n", differing);
  return differing ? 1 : 0;
}
