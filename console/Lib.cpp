// Lib: the pause through DelayRedirect, the wait for a key through
// WaitRedirect.
#include "console/Lib.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "console/EventQueue.h"
#include "runtime/Runtime.h"

namespace Lib {

DelayProc DelayRedirect = Sleep;
WaitProc WaitRedirect = KeyOrTime;

namespace {
bool initialised = false;
}

void Init() {
  if (initialised) return;
  initialised = true;
}

void Delay(std::uint32_t ms) { DelayRedirect(ms); }

void Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::uint32_t WaitForKey(std::uint32_t ms) { return WaitRedirect(ms); }

std::uint32_t KeyOrTime(std::uint32_t ms) {
  RT_ASSERT(ms < 4'294'967);  // the microseconds must fit the answer
  const auto start = std::chrono::steady_clock::now();
  const bool key = EventQueue::waitKey(ms);
  const std::uint64_t limit = std::uint64_t{ms} * 1000;
  // The deadline's own oversleep is not counted: a wait that timed out
  // took exactly its time, so the caller's tick count stays whole.
  if (!key) return static_cast<std::uint32_t>(limit);
  const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(waited.count()), limit));
}

}  // namespace Lib
