// Lib: the pause. Delay goes through a procedure variable so that tests can
// run the game in virtual time.
// Depends on: nothing but the C++ library.
#pragma once

#include <cstdint>

namespace Lib {

// Once; nothing to set up beyond DelayRedirect's start value.
void Init();

using DelayProc = void (*)(std::uint32_t ms);
extern DelayProc DelayRedirect;  // default: sleeps the calling thread

// Suspends the calling thread for `ms` milliseconds.
void Delay(std::uint32_t ms);

// The default of DelayRedirect.
void Sleep(std::uint32_t ms);

}  // namespace Lib
