// RandomCard: the fixed sequence every run deals, its cycle and its spread.
#include "game/Rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace Game;

TEST(RandomCardTest, FirstCallsOfARun) {
  gSeed = 0;
  EXPECT_EQ(RandomCard(0, 13), 1u);
  EXPECT_EQ(gSeed, 138u);
  EXPECT_EQ(RandomCard(1, 15), 15u);
  EXPECT_EQ(gSeed, 965u);
  EXPECT_EQ(RandomCard(3, 17), 10u);
  EXPECT_EQ(gSeed, 511u);
}

TEST(RandomCardTest, SingleValueRangeStillAdvancesTheSeed) {
  gSeed = 0;
  EXPECT_EQ(RandomCard(5, 5), 5u);
  EXPECT_EQ(gSeed, 138u);
}

TEST(RandomCardTest, CyclesThroughEverySeedButItsFixedPointIn1012Steps) {
  gSeed = 0;
  std::set<std::uint32_t> seen;
  for (int n = 0; n < 1012; ++n) {
    RandomCard(0, 13);
    seen.insert(gSeed);
  }
  EXPECT_EQ(gSeed, 0u);
  EXPECT_EQ(seen.size(), 1012u);  // no seed twice before the cycle closes
  EXPECT_EQ(seen.count(509), 0u);
  EXPECT_EQ(*seen.rbegin(), 1012u);

  gSeed = 509;
  RandomCard(0, 13);
  EXPECT_EQ(gSeed, 509u);
}

// Each seed 0..1012 is the next seed of exactly one other, so counting over
// every starting seed counts every seed once.
std::map<std::uint32_t, int> Spread(std::uint32_t min, std::uint32_t max) {
  std::map<std::uint32_t, int> count;
  for (std::uint32_t seed = 0; seed < 1013; ++seed) {
    gSeed = seed;
    ++count[RandomCard(min, max)];
  }
  return count;
}

TEST(RandomCardTest, EveryValueComesFromAlmostEquallyManySeeds) {
  const auto types = Spread(0, 13);
  ASSERT_EQ(types.size(), 14u);
  EXPECT_EQ(types.begin()->first, 0u);
  EXPECT_EQ(types.rbegin()->first, 13u);
  for (const auto& [value, seeds] : types) EXPECT_TRUE(seeds == 72 || seeds == 73) << value << ": " << seeds;

  const auto columns = Spread(3, 17);
  ASSERT_EQ(columns.size(), 15u);
  EXPECT_EQ(columns.begin()->first, 3u);
  EXPECT_EQ(columns.rbegin()->first, 17u);
  for (const auto& [value, seeds] : columns) EXPECT_TRUE(seeds == 67 || seeds == 68) << value << ": " << seeds;
}

// The seed that `seed` follows.
std::uint32_t SeedBefore(std::uint32_t seed) {
  std::uint32_t before = 0;
  while ((before * 351 + 138) % 1013 != seed) ++before;
  return before;
}

TEST(RandomCardTest, ProductsJustBelowAWholeNumberAreCutDown) {
  // 506 x 13.99999 / 1012 = 6.999995; a factor of 14 / 1012 would give 7.
  gSeed = SeedBefore(506);
  EXPECT_EQ(RandomCard(0, 13), 6u);
  // The largest seed gives max, and no more even where single precision
  // cannot hold range + 0.99999.
  for (std::uint32_t max : {1u, 13u, 14u, 1000u, 100000u}) {
    gSeed = SeedBefore(1012);
    EXPECT_EQ(RandomCard(0, max), max);
  }
}
