// The two letter pictures and their colour maps: the letters of each class
// counted, some rows and columns spelled out, every letter within its map.
#include "game/Screens.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

std::map<char, int> Count(const char* const* rows, std::uint32_t n) {
  std::map<char, int> count;
  for (std::uint32_t r = 0; r < n; ++r)
    for (const char* p = rows[r]; *p; ++p) ++count[*p];
  return count;
}

std::string Column(const char* const* rows, std::uint32_t n, std::uint32_t c) {
  std::string out;
  for (std::uint32_t r = 0; r < n; ++r) out += rows[r][c - 1];
  return out;
}

TEST(PicturesTest, TitlePictureHas30RowsOf21LettersClassesAToH) {
  for (std::uint32_t r = 0; r < Game::kIntroRows; ++r) EXPECT_EQ(std::strlen(Game::intro[r]), 21u) << r + 1;
  // 2002 (b), S T A C K (c to g), FALL (h), the rest background (a).
  const std::map<char, int> want = {{'a', 500}, {'b', 46}, {'c', 11}, {'d', 7},
                                    {'e', 12},  {'f', 9},  {'g', 10}, {'h', 35}};
  EXPECT_EQ(Count(Game::intro, Game::kIntroRows), want);
  EXPECT_STREQ(Game::intro[2 - 1], "aaabbbabbbabbbabbbaaa");
  EXPECT_STREQ(Game::intro[12 - 1], "aaacaadaaeaeafffaaaaa");
  EXPECT_STREQ(Game::intro[16 - 1], "aaaaaaaaaaaaafffagaga");
  EXPECT_STREQ(Game::intro[25 - 1], "ahaaahhhahaaahhhaaaaa");
  EXPECT_EQ(Column(Game::intro, Game::kIntroRows, 2), "aaaaaaaacccacaaaaaaaaaahhhhhaa");
  EXPECT_EQ(Column(Game::intro, Game::kIntroRows, 20), std::string(12, 'a') + "ggagg" + std::string(13, 'a'));
  EXPECT_EQ(Column(Game::intro, Game::kIntroRows, 21), std::string(30, 'a'));
}

TEST(PicturesTest, GameOverPictureHas29RowsOf23LettersClassesAToI) {
  for (std::uint32_t r = 0; r < Game::kGameOverRows; ++r) EXPECT_EQ(std::strlen(Game::gameOver[r]), 23u) << r + 1;
  const std::map<char, int> want = {{'a', 574}, {'b', 13}, {'c', 12}, {'d', 13}, {'e', 12},
                                    {'f', 9},   {'g', 10}, {'h', 10}, {'i', 14}};
  EXPECT_EQ(Count(Game::gameOver, Game::kGameOverRows), want);
  EXPECT_STREQ(Game::gameOver[7 - 1], "abbbbaacccaaddaddaaaaaa");
  EXPECT_STREQ(Game::gameOver[19 - 1], "aaaaaaaaaaaaagggaaiiiia");
  EXPECT_STREQ(Game::gameOver[23 - 1], "aeeeaaafafaaagggaaaaaaa");
  EXPECT_EQ(Column(Game::gameOver, Game::kGameOverRows, 20), "aaaaaaaaahhhhhaaiaiaaaaaaaaaa");
  EXPECT_EQ(Column(Game::gameOver, Game::kGameOverRows, 23), std::string(29, 'a'));
}

TEST(PicturesTest, ColourMaps) {
  EXPECT_EQ(std::vector<std::uint32_t>(std::begin(Game::colorMap), std::end(Game::colorMap)),
            (std::vector<std::uint32_t>{14, 5, 10, 9, 12, 1, 2, 0}));
  // Three windows on one cycle: colorMap3 from its first colour, colorMap2
  // from its second, colorMap1 from its third.
  const std::uint32_t cycle[10] = {2, 9, 5, 14, 0, 4, 8, 15, 6, 11};
  for (std::uint32_t k = 0; k < 9; ++k) {
    EXPECT_EQ(Game::colorMap3[k], cycle[k]) << k;
    EXPECT_EQ(Game::colorMap2[k], cycle[(k + 1) % 10]) << k;
    EXPECT_EQ(Game::colorMap1[k], cycle[(k + 2) % 10]) << k;
  }
}

}  // namespace
