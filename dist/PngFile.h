// PngFile: writing a small palette image as a PNG file. Used only by the
// program that makes the game's icons. The image data is stored, not
// compressed (deflate's stored blocks): the bytes depend on nothing but the
// pixels, so a test can compare a fresh file with the committed one.
// Depends on: the C++ standard library only.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace PngFile {

namespace Detail {

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {  // big-endian, as PNG wants
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t x : bytes) {
    a = (a + x) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

// A chunk: length, type, data, and the CRC of type and data.
inline void Chunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, Crc32(std::span(out).subspan(start)));
}

// A zlib stream of stored deflate blocks (at most 65,535 bytes each).
inline std::vector<std::uint8_t> Stored(std::span<const std::uint8_t> raw) {
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    const auto len = static_cast<std::uint16_t>(n);
    for (std::uint16_t v : {len, static_cast<std::uint16_t>(~len)}) {
      z.push_back(static_cast<std::uint8_t>(v));
      z.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  Put32(z, Adler32(raw));
  return z;
}

}  // namespace Detail

// A PNG of `width` x `height` pixels, each an index into `palette` (at most
// 16 colours, 0x00RRGGBB), row by row: 4 bits a pixel, no other chunk than
// the header, the palette, the data and the end.
inline std::vector<std::uint8_t> Encode(std::uint32_t width, std::uint32_t height,
                                        std::span<const std::uint32_t> palette,
                                        std::span<const std::uint8_t> indices) {
  using namespace Detail;
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32(header, width);
  Put32(header, height);
  header.insert(header.end(), {4, 3, 0, 0, 0});  // 4 bits, palette colour, deflate, filter 0, no interlace
  Chunk(out, "IHDR", header);
  std::vector<std::uint8_t> plte;
  for (std::uint32_t c : palette) plte.insert(plte.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
  Chunk(out, "PLTE", plte);
  // Each row: filter type 0, then two pixels a byte, the left one in the high bits.
  std::vector<std::uint8_t> raw;
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    for (std::uint32_t x = 0; x < width; x += 2) {
      const std::uint8_t left = indices[y * width + x];
      const std::uint8_t right = x + 1 < width ? indices[y * width + x + 1] : 0;
      raw.push_back(static_cast<std::uint8_t>(left << 4 | right));
    }
  }
  Chunk(out, "IDAT", Stored(raw));
  Chunk(out, "IEND", {});
  return out;
}

}  // namespace PngFile
