// Reading wave files as the browser build does: what WaveFile writes reads
// back, our five sounds read as what they are, other chunks are stepped
// over, and anything that is not PCM of 8 or 16 bits is refused.
#include "sounds/WaveFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<std::uint8_t> Chunk(const char* tag, std::vector<std::uint8_t> body) {
  std::vector<std::uint8_t> out(tag, tag + 4);
  const auto size = static_cast<std::uint32_t>(body.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
  out.insert(out.end(), body.begin(), body.end());
  if (size & 1) out.push_back(0);
  return out;
}

// A wave file of its chunks, in the order given.
std::vector<std::uint8_t> Riff(std::initializer_list<std::vector<std::uint8_t>> chunks) {
  std::vector<std::uint8_t> body = {'W', 'A', 'V', 'E'};
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

// The fmt and data chunks of an encoded file (header of 44 bytes).
std::vector<std::uint8_t> Format(const std::vector<std::uint8_t>& encoded) {
  return {encoded.begin() + 20, encoded.begin() + 36};
}

TEST(WaveFileParse, ReadsBackWhatItWrites) {
  const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8};
  for (std::uint16_t channels : {1, 2}) {
    for (std::uint16_t bits : {8, 16}) {
      const auto file = WaveFile::Encode(data, 44100, channels, bits);
      WaveFile::Pcm pcm;
      ASSERT_TRUE(WaveFile::Parse(file, pcm));
      EXPECT_EQ(pcm.rate, 44100u);
      EXPECT_EQ(pcm.channels, channels);
      EXPECT_EQ(pcm.bits, bits);
      EXPECT_EQ(std::vector<std::uint8_t>(pcm.data.begin(), pcm.data.end()), data);
    }
  }
}

TEST(WaveFileParse, OurSoundsAre16BitMono) {
  for (const char* name : {"thx", "startup", "any_key", "wohoo", "game_over"}) {
    const auto bytes = WaveFile::ReadBytes(std::string(STACKFALL_SOURCE_DIR "/sounds/") + name + ".wav");
    WaveFile::Pcm pcm;
    ASSERT_TRUE(WaveFile::Parse(bytes, pcm)) << name;
    EXPECT_EQ(pcm.rate, 22050u);
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.bits, 16);
    EXPECT_EQ(pcm.data.size(), bytes.size() - 44) << name;
  }
}

TEST(WaveFileParse, StepsOverOtherChunksOddSizedToo) {
  const auto encoded = WaveFile::Encode(std::vector<std::uint8_t>{9, 8, 7, 6}, 8000, 1, 16);
  const auto file = Riff({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Format(encoded)), Chunk("fact", {0, 0, 0, 0}),
                          Chunk("data", {9, 8, 7, 6})});
  WaveFile::Pcm pcm;
  ASSERT_TRUE(WaveFile::Parse(file, pcm));
  EXPECT_EQ(std::vector<std::uint8_t>(pcm.data.begin(), pcm.data.end()), (std::vector<std::uint8_t>{9, 8, 7, 6}));
}

TEST(WaveFileParse, AFileCutShortKeepsItsWholeFrames) {
  auto file = WaveFile::Encode(std::vector<std::uint8_t>(100, 1), 8000, 2, 16);
  file.resize(44 + 10);  // two and a half frames of four bytes
  WaveFile::Pcm pcm;
  ASSERT_TRUE(WaveFile::Parse(file, pcm));
  EXPECT_EQ(pcm.data.size(), 8u);
}

TEST(WaveFileParse, RefusesWhatIsNotPcmOf8Or16Bits) {
  const auto good = WaveFile::Encode(std::vector<std::uint8_t>{1, 2}, 8000, 1, 16);
  WaveFile::Pcm pcm;
  auto withFormat = [&](std::size_t at, std::uint8_t value) {
    auto f = good;
    f[at] = value;
    return f;
  };
  EXPECT_FALSE(WaveFile::Parse(withFormat(20, 3), pcm));   // IEEE float, not PCM
  EXPECT_FALSE(WaveFile::Parse(withFormat(34, 24), pcm));  // 24 bits
  EXPECT_FALSE(WaveFile::Parse(withFormat(22, 0), pcm));   // no channels
  EXPECT_FALSE(WaveFile::Parse(withFormat(8, 'X'), pcm));  // not WAVE
  EXPECT_FALSE(WaveFile::Parse(Riff({Chunk("data", {1, 2}), Chunk("fmt ", Format(good))}), pcm));  // data first
  EXPECT_FALSE(WaveFile::Parse(Riff({Chunk("fmt ", Format(good))}), pcm));  // no data
  EXPECT_FALSE(WaveFile::Parse(Riff({Chunk("fmt ", Format(good)), Chunk("data", {})}), pcm));  // empty
  EXPECT_FALSE(WaveFile::Parse(std::vector<std::uint8_t>(good.begin(), good.begin() + 30), pcm));
  EXPECT_FALSE(WaveFile::Parse({}, pcm));
}

}  // namespace
