// The terminal's key decoder: turns the bytes an xterm-style terminal sends
// into the key-down records a Windows console on a US keyboard delivers
// (character, hardware scan code, control-key state, enhanced bit for the
// grey keys). Pure: no I/O, no clock, no module state. The terminal thread
// feeds it whatever it reads, in any split, and calls Expire after a short
// quiet spell; that is how a lone Esc is told from the start of a sequence.
//
// What it knows: printable ASCII, the control characters (Ctrl+letter, Enter,
// Tab, Backspace), ESC + key as Alt + key, the cursor and editing keys and
// F1-F12 in their CSI, SS3 and Linux-console forms with xterm's modifier
// parameter, the keypad's application-mode keys, Shift+Tab. Anything else
// (an unknown or malformed sequence, bytes above 7FH, which no US key types)
// is dropped whole.
// Depends on: platform/ConsoleInput (the records it makes).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ConsoleInput.h"

namespace Platform::KeyDecoder {

struct Event {
  enum class Kind : std::uint8_t { Key, CursorReport };
  Kind kind = Kind::Key;
  InputRecord record{};      // Key: a key-down record
  std::uint16_t row = 0;     // CursorReport: 1-based, as the terminal sends it
  std::uint16_t column = 0;
};

// Receives each decoded event, in order.
using Emit = void (*)(const Event& event, void* context);

enum class Phase : std::uint8_t { Ground, Escape, Csi, Ss3, LinuxFKey, Utf8 };

// Longest parameter string kept; a longer sequence is consumed and dropped.
constexpr std::size_t kMaxSequence = 16;

struct State {
  Phase phase = Phase::Ground;
  std::uint8_t sequence[kMaxSequence] = {};
  std::uint8_t length = 0;
  bool overflow = false;
  std::uint8_t utf8Left = 0;
  // Set by the caller while it waits for the answer to ESC[6n: ESC[r;cR is
  // then a cursor report, not Shift/Ctrl/Alt+F3.
  bool expectCursorReport = false;
};

// Decodes `n` bytes; every key they complete is emitted at once.
void Feed(State& state, const std::uint8_t* bytes, std::size_t n, Emit emit, void* context);

// True while bytes are held that only a short wait can settle: a lone ESC,
// an unfinished sequence or character.
bool Pending(const State& state);

// The wait has passed with no more bytes: a lone ESC is the Esc key, ESC [
// and ESC O are Alt+[ and Alt+O, anything else unfinished is dropped.
void Expire(State& state, Emit emit, void* context);

}  // namespace Platform::KeyDecoder
