// Lib: the pause, and the wait for a key with a deadline. Both go through
// procedure variables so that tests can run the game in virtual time.
// Depends on: EventQueue (the wait's default).
#pragma once

#include <cstdint>

namespace Lib {

// Once; nothing to set up beyond the redirects' start values.
void Init();

using DelayProc = void (*)(std::uint32_t ms);
extern DelayProc DelayRedirect;  // default: sleeps the calling thread

// Suspends the calling thread for `ms` milliseconds.
void Delay(std::uint32_t ms);

// The default of DelayRedirect.
void Sleep(std::uint32_t ms);

using WaitProc = std::uint32_t (*)(std::uint32_t ms);
extern WaitProc WaitRedirect;  // default: KeyOrTime

// Waits until a key waits in the key queue or `ms` milliseconds have passed,
// whichever comes first; returns the microseconds waited, at most ms x 1000
// (exactly that when no key came). A key already waiting returns at once.
// `ms` below 4,294,967 (71 minutes).
std::uint32_t WaitForKey(std::uint32_t ms);

// The default of WaitRedirect: on the key queue's notEmpty, in real time.
std::uint32_t KeyOrTime(std::uint32_t ms);

}  // namespace Lib
