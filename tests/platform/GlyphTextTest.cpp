// The glyph table gives the font's own pixels: every text the game draws,
// every pair of characters and thousands of random strings come out of
// GlyphText exactly as SDL2_ttf renders them (mask, width and depth), with
// the same metrics. Needs the font; the browser build relies on it.
#include "platform/GlyphText.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

using namespace Platform;

namespace {

struct Rendering {
  bool drawn = false;
  std::vector<std::uint8_t> mask;
  std::uint32_t width = 0, depth = 0;
  bool operator==(const Rendering&) const = default;
};

Rendering ByFont(std::string_view text) {
  Rendering r;
  r.drawn = RenderText(text, r.mask, r.width, r.depth);
  for (auto& m : r.mask) m = m != 0;
  return r;
}

Rendering ByTable(std::string_view text) {
  Rendering r;
  r.drawn = GlyphText::Render(GlyphText::kTable, text, r.mask, r.width, r.depth);
  for (auto& m : r.mask) m = m != 0;
  return r;
}

std::string Hex(std::string_view text) {
  std::string out;
  char buf[4];
  for (unsigned char c : text) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

// The string literals of a C++ source, adjacent ones joined and escapes
// decoded (the game writes its ë as \xEB), comments and characters skipped.
std::vector<std::string> Literals(const std::string& src) {
  std::vector<std::string> found;
  std::string current;
  bool open = false;  // a literal was closed and another may join it
  for (std::size_t i = 0; i < src.size(); ++i) {
    const char c = src[i];
    if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
      i = src.find('\n', i);
      if (i == std::string::npos) break;
    } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
      i = src.find("*/", i + 2) + 1;
    } else if (c == '\'') {
      for (++i; i < src.size() && src[i] != '\''; ++i)
        if (src[i] == '\\') ++i;
    } else if (c == '"') {
      for (++i; i < src.size() && src[i] != '"'; ++i) {
        if (src[i] != '\\') {
          current += src[i];
        } else if (src[++i] == 'x') {
          std::size_t used = 0;
          current += static_cast<char>(std::stoi(src.substr(i + 1, 2), &used, 16));
          i += used;
        } else {
          current += src[i] == 'n' ? '\n' : src[i] == 't' ? '\t' : src[i] == '0' ? '\0' : src[i];
        }
      }
      open = true;
      continue;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      continue;
    }
    if (open) found.push_back(current.substr(0, current.find('\0')));
    current.clear();
    open = false;
  }
  return found;
}

class GlyphTextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(StartText()) << "the font is needed: fonts-dejavu-core"; }

  static void ExpectSame(std::string_view text) {
    const Rendering font = ByFont(text), table = ByTable(text);
    ASSERT_EQ(font.drawn, table.drawn) << Hex(text);
    ASSERT_EQ(font.width, table.width) << Hex(text);
    ASSERT_EQ(font.depth, table.depth) << Hex(text);
    ASSERT_TRUE(font.mask == table.mask) << "pixels differ for " << Hex(text);
  }
};

TEST_F(GlyphTextTest, MetricsAreTheFonts) {
  const FontMetrics font = TextMetrics(), table = GlyphText::kTable.metrics;
  EXPECT_EQ(font.cellWidth, table.cellWidth);
  EXPECT_EQ(font.cellHeight, table.cellHeight);
  EXPECT_EQ(font.descent, table.descent);
}

TEST_F(GlyphTextTest, EveryTextOfTheGameAndEveryScore) {
  std::set<std::string> texts;
  for (const auto& entry : std::filesystem::directory_iterator(STACKFALL_SOURCE_DIR "/game")) {
    if (entry.path().extension() != ".cpp") continue;
    std::ifstream in(entry.path());
    std::stringstream src;
    src << in.rdbuf();
    for (const std::string& s : Literals(src.str()))
      if (!s.empty()) texts.insert(s);
  }
  // The reading of the sources found what the screens draw.
  ASSERT_TRUE(texts.count("Instructies"));
  ASSERT_TRUE(texts.count("Druk op q om het programma te be\xEBindigen"));
  ASSERT_TRUE(texts.count("Uw score was:"));
  for (const std::string& text : texts) ExpectSame(text);
  for (std::uint32_t score = 0; score < 2000; ++score) ExpectSame(std::to_string(score));
  ExpectSame("4294967295");
}

TEST_F(GlyphTextTest, EverySingleCharacterAndPair) {
  // Any byte a text can hold: from 01H (00H ends it) to FFH.
  for (int a = 1; a < 256; ++a) {
    ExpectSame(std::string(1, static_cast<char>(a)));
    for (int b = 1; b < 256; ++b) ExpectSame(std::string{static_cast<char>(a), static_cast<char>(b)});
  }
}

TEST_F(GlyphTextTest, RandomStringsUpToTheLongestText) {
  std::mt19937 random(22);
  for (int n = 0; n < 3000; ++n) {
    // Up to the 257 characters RawOutText draws; soft hyphens (no advance)
    // and the widest glyphs often, to meet them next to each other.
    const std::size_t length = 1 + random() % (n % 10 == 0 ? 257 : 40);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned pick = random() % 8;
      text += static_cast<char>(pick == 0 ? 0xAD : pick == 1 ? 'R' : 1 + random() % 255);
    }
    ExpectSame(text);
  }
}

TEST_F(GlyphTextTest, NothingToDraw) {
  EXPECT_FALSE(ByTable("").drawn);
  EXPECT_EQ(ByTable("").mask.size(), 0u);
  GlyphText::Table empty{};
  std::vector<std::uint8_t> mask{1};
  std::uint32_t w = 1, d = 1;
  EXPECT_FALSE(GlyphText::Render(empty, "a", mask, w, d));
  EXPECT_TRUE(mask.empty());
}

}  // namespace
