// SdlStart: one lock for every start and stop of a part of SDL. SDL's list
// of hints and its subsystem counts are not safe against two threads at
// once, and three threads start parts of SDL: the window thread video, the
// pads' thread the game controllers, the caller of PlaySound the audio
// driver.
// Depends on: the C++ library alone.
#pragma once

#include <mutex>

namespace Platform {

// Held around SDL_SetHint, SDL_InitSubSystem and the like, and nothing
// else: a thread holding another lock of ours may take it, never the other
// way round.
std::mutex& SdlStartLock();

}  // namespace Platform
