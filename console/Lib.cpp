// Lib: the pause, through DelayRedirect.
#include "console/Lib.h"

#include <chrono>
#include <thread>

namespace Lib {

DelayProc DelayRedirect = Sleep;

namespace {
bool initialised = false;
}

void Init() {
  if (initialised) return;
  initialised = true;
}

void Delay(std::uint32_t ms) { DelayRedirect(ms); }

void Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace Lib
