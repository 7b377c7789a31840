// PadEvents: the pads' side of the window server's event loop, for
// platform/Window.cpp only (it speaks SDL). The window thread takes the pads
// over when video starts, and from then on waits for SDL's events through
// Wait, which reads the pads on their own schedule, follows their hot-plug
// and hands back their keys between the window's events.
// Depends on: SDL2, platform/Gamepad.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <mutex>

namespace Platform::Pads {

// The pads' own lock, held while the window thread takes them over: taken
// before SdlStartLock, never after.
std::mutex& StartLock();

// With StartLock held, once video runs: the window thread serves the pads
// from now on (the pads' thread stops for good), and SDL's game controllers
// start here if they had not; the repeat figures are read from the X server.
void ServeFromWindowThread();

struct Key {
  bool down = false;
  std::uint8_t scan = 0;  // PC set-1
};

enum class Got : std::uint8_t { Nothing, Event, PadKey };

// Waits up to timeoutMs (negative: no limit) for an SDL event that is not a
// pad's, or a key of the pads (a press, a release, a repeat that fell due),
// reading the pads whenever that is due meanwhile. Nothing on time-out.
Got Wait(SDL_Event& event, Key& key, int timeoutMs);

}  // namespace Platform::Pads
