// The console input buffer: our stand-in for the Windows console's input
// queue. The terminal thread and the graphics window write key records into
// it (WriteConsoleInput); the key reader thread waits on it and reads them
// (WaitForConsoleInput, ReadConsoleInput). Thread-safe.
// Depends on: nothing but the C++ library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Platform {

// Event types of an input record.
constexpr std::uint16_t KEY_EVENT = 0x0001;
constexpr std::uint16_t MOUSE_EVENT = 0x0002;

// Control-key state bits of a key or mouse record.
constexpr std::uint32_t RIGHT_ALT_PRESSED = 0x0001;
constexpr std::uint32_t LEFT_ALT_PRESSED = 0x0002;
constexpr std::uint32_t RIGHT_CTRL_PRESSED = 0x0004;
constexpr std::uint32_t LEFT_CTRL_PRESSED = 0x0008;
constexpr std::uint32_t SHIFT_PRESSED = 0x0010;
constexpr std::uint32_t NUMLOCK_ON = 0x0020;
constexpr std::uint32_t SCROLLLOCK_ON = 0x0040;
constexpr std::uint32_t CAPSLOCK_ON = 0x0080;
constexpr std::uint32_t ENHANCED_KEY = 0x0100;

struct KeyEventRecord {
  std::int32_t bKeyDown = 0;
  std::uint16_t wRepeatCount = 0;
  std::uint16_t wVirtualKeyCode = 0;
  std::uint16_t wVirtualScanCode = 0;
  std::uint16_t uChar = 0;  // an 8-bit code page 1252 character in a 16-bit field
  std::uint32_t dwControlKeyState = 0;
};

struct MouseEventRecord {
  std::int16_t X = 0, Y = 0;
  std::uint32_t dwButtonState = 0;  // bit 0 leftmost, bit 1 rightmost, bit 2 second from left
  std::uint32_t dwControlKeyState = 0;
  std::uint32_t dwEventFlags = 0;
};

struct InputRecord {
  std::uint16_t EventType = 0;
  union {
    KeyEventRecord KeyEvent;
    MouseEventRecord MouseEvent;
  } Event{};
};

// The buffer holds at most this many records. A write into a full buffer is
// refused and the record dropped, as a full keyboard buffer drops keys:
// nothing blocks, and a flood cannot exhaust memory.
constexpr std::size_t kConsoleInputCapacity = 4096;

// Appends one record; false (record dropped) when the buffer is full.
bool WriteConsoleInput(const InputRecord& record);

// Appends one record, waiting up to `timeoutMs` for room when the buffer is
// full: for a source of keys that must go on even with no reader. False
// (record dropped) when there was no room in time.
bool WriteConsoleInputWithin(const InputRecord& record, int timeoutMs);

// Waits until a record is waiting or `timeoutMs` has passed (negative: no
// limit). True when a record is waiting.
bool WaitForConsoleInput(int timeoutMs);

// Waits until there is room for `records` more records (at most the
// capacity) or `timeoutMs` has passed (negative: no limit). True when there
// is room. The terminal thread waits so before it decodes what it read: a
// paste that comes faster than the key reader takes it then waits in the
// terminal, instead of being dropped here without a beep.
bool WaitForConsoleInputRoom(std::size_t records, int timeoutMs);

// Takes the oldest record; false, leaving `record` untouched, when none waits.
bool ReadConsoleInput(InputRecord& record);

// Number of records waiting.
std::size_t GetNumberOfConsoleInputEvents();

// Drops every waiting record.
void FlushConsoleInputBuffer();

}  // namespace Platform
