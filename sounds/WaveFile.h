// WaveFile: writing and reading plain PCM wave files. Used by the program
// that makes our sounds, by the tests that check what the audio device
// received, and by the browser build's sound, which has no SDL to decode
// them (the native platform layer decodes wave files through SDL).
// Depends on: nothing but the C++ library.
#pragma once

#include <algorithm>
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

// What a wave file holds: its format and its sample bytes.
struct Pcm {
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits = 0;                // 8 (unsigned) or 16 (signed, little-endian)
  std::span<const std::uint8_t> data;    // whole frames only
};

// Reads the format and the samples of a RIFF/WAVE file of uncompressed PCM
// of 8 or 16 bits, whatever other chunks it holds. False for anything else:
// no such file, another encoding, a format that makes no sense, no data.
inline bool Parse(std::span<const std::uint8_t> file, Pcm& pcm) {
  auto u32 = [&file](std::size_t at) {
    return std::uint32_t{file[at]} | std::uint32_t{file[at + 1]} << 8 | std::uint32_t{file[at + 2]} << 16 |
           std::uint32_t{file[at + 3]} << 24;
  };
  auto u16 = [&file](std::size_t at) { return static_cast<std::uint16_t>(file[at] | file[at + 1] << 8); };
  auto is = [&file](std::size_t at, const char* tag) {
    for (int i = 0; i < 4; ++i)
      if (file[at + i] != static_cast<std::uint8_t>(tag[i])) return false;
    return true;
  };
  if (file.size() < 12 || !is(0, "RIFF") || !is(8, "WAVE")) return false;
  bool haveFormat = false;
  // Chunks: a tag, a size, the body, padded to an even length.
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::uint32_t size = u32(at + 4);
    const std::size_t body = at + 8;
    const std::size_t room = file.size() - body;
    if (is(at, "fmt ")) {
      if (size < 16 || room < 16 || u16(body) != 1) return false;  // 1: PCM
      pcm.channels = u16(body + 2);
      pcm.rate = u32(body + 4);
      pcm.bits = u16(body + 14);
      haveFormat = pcm.channels > 0 && pcm.rate > 0 && (pcm.bits == 8 || pcm.bits == 16);
      if (!haveFormat) return false;
    } else if (is(at, "data")) {
      if (!haveFormat) return false;
      // A file cut short keeps what it has of whole frames.
      const std::size_t frame = std::size_t{pcm.channels} * (pcm.bits / 8);
      const std::size_t length = std::min<std::size_t>(size, room);
      pcm.data = file.subspan(body, length - length % frame);
      return !pcm.data.empty();
    }
    if (size > room) return false;
    at = body + size + (size & 1);
  }
  return false;
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
