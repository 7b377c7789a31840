// The picture and its views: each view its own changed box and one wake-up
// per quiet-to-changed, and the frame pacer's rule in virtual time.
#include "graph/FramePacer.h"
#include "graph/Picture.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

using namespace Graph;

int wakesA = 0, wakesB = 0;

void Draw(const Picture::Box& box) {
  bool wake;
  {
    std::lock_guard lock(Picture::SurfaceLock());
    wake = Picture::Drawn(box);
  }
  if (wake) Picture::Wake();
}

TEST(Picture, EachViewIsToldOnceAndTakesWhatChangedSinceItsOwnFrame) {
  Picture::Viewer a, b;
  a.wake = [] { ++wakesA; };
  b.wake = [] { ++wakesB; };
  ASSERT_TRUE(Picture::Make(100, 50));
  Picture::Attach(a);
  EXPECT_EQ(wakesA, 1);  // a picture to show at once
  {
    std::lock_guard lock(Picture::SurfaceLock());
    Picture::TakeChanged(a);
  }
  Picture::Framed(a);
  EXPECT_TRUE(Picture::Shown());

  Picture::Attach(b);
  Draw({10, 10, 20, 20});
  Draw({30, 5, 40, 8});
  EXPECT_EQ(wakesA, 2) << "one wake-up for a burst of drawing";
  EXPECT_EQ(wakesB, 1) << "b was dirty from its attach: not woken again";
  EXPECT_FALSE(Picture::Shown());
  Picture::Box boxA, boxB;
  {
    std::lock_guard lock(Picture::SurfaceLock());
    boxA = Picture::TakeChanged(a);
    boxB = Picture::TakeChanged(b);
  }
  EXPECT_EQ(boxA.left, 10u);
  EXPECT_EQ(boxA.top, 5u);
  EXPECT_EQ(boxA.right, 40u);
  EXPECT_EQ(boxA.bottom, 20u);
  EXPECT_EQ(boxB.right, 0xFFFFFFFFu) << "b has shown nothing yet: everything";
  EXPECT_FALSE(Picture::Shown()) << "frames under way";
  const std::uint64_t frames = Picture::Frames();
  Picture::Framed(a);
  Picture::Framed(b);
  EXPECT_EQ(Picture::Frames(), frames + 2);
  EXPECT_TRUE(Picture::Shown());

  Picture::Detach(a);
  Draw({1, 1, 1, 1});
  EXPECT_EQ(wakesA, 2) << "a detached view is never told";
  EXPECT_EQ(wakesB, 2);
  Picture::Detach(b);
  EXPECT_TRUE(Picture::Shown());
  Picture::Drop();
}

TEST(FramePacer, AtOnceAfterQuietThenOneAFrameAndTheSettleWaitsForTheBurst) {
  using namespace std::chrono_literals;
  const FramePacer::Clock::time_point t0{std::chrono::hours(1)};
  FramePacer window(0ms, 3);
  window.Drawn(t0);
  int atOnce = 0;
  for (; atOnce < 5 && window.WaitMs(t0) == 0; ++atOnce) window.Framed(t0);
  EXPECT_EQ(atOnce, 3) << "a quiet spell saves up three frames";
  window.Drawn(t0);
  EXPECT_EQ(window.WaitMs(t0), 16);

  FramePacer terminal(2ms, 1);
  terminal.Drawn(t0);
  EXPECT_EQ(terminal.WaitMs(t0), 2) << "the settle";
  terminal.Drawn(t0 + 1ms);  // drawing goes on: the settle counts from its start
  EXPECT_EQ(terminal.WaitMs(t0 + 1ms), 1);
  terminal.Framed(t0 + 2ms);
  terminal.Drawn(t0 + 3ms);
  EXPECT_EQ(terminal.WaitMs(t0 + 3ms), 15) << "at most one a display frame";
  terminal.Cancel();
  EXPECT_FALSE(terminal.Pending());
}

}  // namespace
