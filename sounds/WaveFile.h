// WaveFile: writing and reading plain PCM wave files. Used by the program
// that makes our sounds and by the tests that check what the audio device
// received; the game itself never includes it (the platform layer decodes
// wave files through SDL).
// Depends on: nothing but the C++ library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace WaveFile {

// ---------------------------------------------------------------- writing

// A RIFF/WAVE file of uncompressed PCM: a 44-byte header and `data`, which
// holds frames of `channels` samples of `bits` bits, little-endian.
inline std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> data, std::uint32_t rate,
                                        std::uint16_t channels, std::uint16_t bits) {
  std::vector<std::uint8_t> out;
  out.reserve(44 + data.size());
  auto put32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&out](std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };
  const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  const auto dataSize = static_cast<std::uint32_t>(data.size());
  tag("RIFF");
  put32(36 + dataSize);
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);  // PCM
  put16(channels);
  put32(rate);
  put32(rate * blockAlign);
  put16(blockAlign);
  put16(bits);
  tag("data");
  put32(dataSize);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// 16-bit mono samples as the bytes of a wave file's data.
inline std::vector<std::uint8_t> Bytes(std::span<const std::int16_t> samples) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(samples.size() * 2);
  for (std::int16_t s : samples) {
    const auto u = static_cast<std::uint16_t>(s);
    bytes.push_back(static_cast<std::uint8_t>(u));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return bytes;
}

// Writes a file of 16-bit mono samples; false when it cannot be written.
inline bool WriteMono16(const std::string& path, std::span<const std::int16_t> samples,
                        std::uint32_t rate) {
  const std::vector<std::uint8_t> file = Encode(Bytes(samples), rate, 1, 16);
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(f);
}

// ---------------------------------------------------------------- reading

// Raw 16-bit little-endian samples from `bytes`, starting at `offset`.
inline std::vector<std::int16_t> Samples16(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  std::vector<std::int16_t> out;
  for (std::size_t i = offset; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return out;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The samples of a file written by WriteMono16 (its data starts at byte 44).
inline std::vector<std::int16_t> ReadMono16(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  if (bytes.size() < 44) return {};
  return Samples16(bytes, 44);
}

}  // namespace WaveFile
