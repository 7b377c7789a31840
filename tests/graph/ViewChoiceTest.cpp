// STACKFALL_VIEW as the view choice reads it: what each value allows, and a
// value that is none of them counting as unset (the runs of each allowed
// value are in tests/e2e/stackfall_termview_e2e.sh).
#include "graph/ViewChoice.h"

#include <gtest/gtest.h>

namespace {

using Graph::ViewChoice::PlanFor;

TEST(ViewChoice, EachValueAllowsItsViewsAndAnOtherCountsAsUnset) {
  bool known = false;
  const auto plan = [&](const char* value) {
    const Graph::ViewChoice::Plan p = PlanFor(value, known);
    return std::string(p.window ? "window" : "") + (p.terminal ? "+terminal" : "");
  };
  EXPECT_EQ(plan(nullptr), "window+terminal");
  EXPECT_TRUE(known);
  EXPECT_EQ(plan(""), "window+terminal");
  EXPECT_EQ(plan("window"), "window");
  EXPECT_EQ(plan("terminal"), "+terminal");
  EXPECT_EQ(plan("none"), "");
  EXPECT_TRUE(known);
  EXPECT_EQ(plan("Terminal"), "window+terminal");
  EXPECT_FALSE(known);
}

}  // namespace
