// Helpers of the console tests: start the console subsystem with standard
// input on /dev/null (so that no test takes over the terminal running the
// tests), and put keys into the console input buffer as the terminal or the
// graphics window would.
// Depends on: console, platform/ConsoleInput, platform/KeyDecoder, GoogleTest.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string_view>

#include "console/Console.h"
#include "platform/ConsoleInput.h"
#include "platform/KeyDecoder.h"

namespace ConsoleTest {

inline void StartWithoutTerminal() {
  int null = ::open("/dev/null", O_RDONLY);
  ::dup2(null, STDIN_FILENO);
  ::close(null);
  Console::Init();
}

inline Platform::InputRecord KeyEvent(std::uint16_t scan, std::uint8_t ch, std::uint32_t state, bool down = true) {
  Platform::InputRecord r;
  r.EventType = Platform::KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down ? 1 : 0;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualScanCode = scan;
  r.Event.KeyEvent.uChar = ch;
  r.Event.KeyEvent.dwControlKeyState = state;
  return r;
}

inline void Put(const Platform::InputRecord& r) { Platform::WriteConsoleInput(r); }

// Keys as typed in the terminal: the bytes through the terminal's decoder.
inline void Type(std::string_view bytes) {
  Platform::KeyDecoder::State state;
  auto put = [](const Platform::KeyDecoder::Event& e, void*) { Platform::WriteConsoleInput(e.record); };
  Platform::KeyDecoder::Feed(state, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), put, nullptr);
  Platform::KeyDecoder::Expire(state, put, nullptr);
}

}  // namespace ConsoleTest
