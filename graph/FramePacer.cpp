// FramePacer: the due time of the next frame.
#include "graph/FramePacer.h"

#include <algorithm>

namespace Graph {

void FramePacer::Drawn(Clock::time_point now) {
  if (pending_) return;
  pending_ = true;
  drawnAt_ = now;
}

FramePacer::Clock::time_point FramePacer::Due() const {
  return pending_ ? std::max(due_, drawnAt_ + settle_) : due_;
}

int FramePacer::WaitMs(Clock::time_point now) const {
  const auto due = Due();
  return now >= due ? 0 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count());
}

void FramePacer::Framed(Clock::time_point now) {
  due_ = std::max(due_, now - (saved_ - 1) * kFrame) + kFrame;
  pending_ = false;
}

}  // namespace Graph
