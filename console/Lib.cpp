#include "console/Lib.h"

#include <chrono>
#include <thread>

namespace Lib {

DelayProc DelayRedirect = Sleep;

void Delay(std::uint32_t ms) { DelayRedirect(ms); }

void Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace Lib
