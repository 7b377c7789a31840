// Test support: the console half of the sound suites' fixtures. Start()
// empties the captured console, puts StandardSound back as before its check
// (inactive, no file bound) and captures IO's output; Stop() gives IO its
// own output back.
// Depends on: console/IO, sound/StandardSound.
#pragma once

#include <string>
#include <string_view>

#include "console/IO.h"
#include "sound/StandardSound.h"

namespace SoundTest {

struct SoundConsole {
  static inline std::string console;
  static void Capture(std::string_view s) { console += s.substr(0, s.find('\0')); }
  static void Start() {
    console.clear();
    StandardSound::gActive = false;
    StandardSound::gSoundList = {};
    IO::WrStrRedirect = Capture;
  }
  static void Stop() { IO::WrStrRedirect = IO::DefaultWrStr; }
};

}  // namespace SoundTest
