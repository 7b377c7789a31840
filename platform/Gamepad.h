// Gamepad: game controllers as one more keyboard. SDL's game-controller API
// gives every common pad the same button names; a press on a pad becomes the
// key-down record of a game key, as if typed in the window, and its release
// the key-up, in the console input buffer. Pads may be plugged in and pulled
// out at any time; several work at once. While video runs the window server
// thread serves them, between its own events (WaitWindowEvent), and their
// records carry the window's modifier state; before that, or with no display
// at all, a thread of their own ("pads") does, with no modifier.
// Depends on: SDL2 (joystick and game controller), platform/ConsoleInput,
// platform/Window (the scan-code table), runtime.
#pragma once

#include <chrono>
#include <cstdint>

namespace Platform {

// Console start-up: starts SDL's game controllers and the pads' thread, once.
// With no joystick support in SDL, or none on the machine, nothing happens
// and nothing is said; a pad that cannot be opened is named on stderr.
void StartPads();

// How a held direction repeats, as a held key does in the window: the X
// server's auto-repeat once video runs on X, else 500 ms then 30 a second.
// `on` is false when the X server repeats no key.
struct PadRepeat {
  std::chrono::microseconds delay{500000};
  std::chrono::microseconds interval{33333};
  bool on = true;
};
PadRepeat PadRepeatFigures();

// For tests: whether SDL's game controllers run, how many pads are open, and
// how many times the pads have been read.
struct PadsInfo {
  bool started = false;
  int open = 0;
  std::uint64_t polls = 0;
};
PadsInfo PadsNow();

}  // namespace Platform
