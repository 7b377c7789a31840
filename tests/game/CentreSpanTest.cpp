// Spans around a centre, kept inside the grid whatever the centre holds.
#include "game/CentreSpan.h"

#include <gtest/gtest.h>

using namespace Game;

namespace {

std::pair<std::uint32_t, std::uint32_t> Cut(std::uint32_t centre, std::uint32_t before, std::uint32_t after,
                                            std::uint32_t size) {
  const Span s = CutSpan(centre, before, after, size);
  return {s.first, s.count};
}

TEST(CentreSpanTest, CutKeepsWhatLiesInsideTheGrid) {
  // The redraw's columns: xC - 2 .. xC + 3.
  EXPECT_EQ(Cut(1, 2, 3, 25), std::pair(0u, 5u));
  EXPECT_EQ(Cut(2, 2, 3, 25), std::pair(0u, 6u));
  EXPECT_EQ(Cut(3, 2, 3, 25), std::pair(1u, 6u));
  EXPECT_EQ(Cut(21, 2, 3, 25), std::pair(19u, 6u));
  EXPECT_EQ(Cut(23, 2, 3, 25), std::pair(21u, 4u));
  EXPECT_EQ(Cut(0xFFFFFFFFu, 2, 3, 25), std::pair(0u, 3u));  // shifted left of column 0
  EXPECT_EQ(Cut(0xFFFFFFF0u, 2, 3, 25).second, 0u);
  EXPECT_EQ(Cut(57, 2, 2, 33).second, 0u);  // far below the floor
  EXPECT_EQ(Cut(34, 2, 2, 33), std::pair(32u, 1u));
}

TEST(CentreSpanTest, FitMovesAWholeSpanInside) {
  EXPECT_EQ(FitSpan(12, 1, 3, 25).first, 11u);
  EXPECT_EQ(FitSpan(21, 1, 4, 25).first, 20u);
  EXPECT_EQ(FitSpan(0, 1, 3, 25).first, 0u);
  EXPECT_EQ(FitSpan(0xFFFFFFFFu, 1, 3, 25).first, 0u);
  EXPECT_EQ(FitSpan(31, 1, 3, 33).first, 30u);
  EXPECT_EQ(FitSpan(57, 1, 4, 33).first, 29u);
  EXPECT_EQ(FitSpan(57, 1, 4, 33).count, 4u);
}

}  // namespace
