// FramePacer: when a view shows its next frame, the one rule every view
// follows. The first frame after a quiet spell goes at once (after a short
// settle, for a view that must never show a drawing half done); while
// drawing goes on, at most one frame a display frame, a few saved up by a
// quiet spell going first; the frame of a burst comes after the burst.
// Plain data for the view's own thread.
// Depends on: nothing but the C++ library.
#pragma once

#include <chrono>

namespace Graph {

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // One display frame.
  static constexpr std::chrono::milliseconds kFrame{16};

  // `settle`: how long after the first drawing since the last frame the
  // next frame waits at least; `saved`: how many frames a quiet spell saves
  // up to show one after another.
  FramePacer(std::chrono::milliseconds settle, int saved) : settle_(settle), saved_(saved) {}

  // Something was drawn (the view was woken); the first since the last
  // frame starts the settle.
  void Drawn(Clock::time_point now);

  // Whether something was drawn since the last frame.
  bool Pending() const { return pending_; }

  // The earliest time the next frame may go.
  Clock::time_point Due() const;

  // Milliseconds until Due, 0 when it is due: a wait's time-out.
  int WaitMs(Clock::time_point now) const;

  // A frame went out at `now`.
  void Framed(Clock::time_point now);

  // What was drawn needs no frame after all (the view cannot show it now).
  void Cancel() { pending_ = false; }

 private:
  std::chrono::milliseconds settle_;
  int saved_;
  bool pending_ = false;
  Clock::time_point drawnAt_{};
  Clock::time_point due_{};  // runs at most saved_ - 1 frames behind the clock
};

}  // namespace Graph
