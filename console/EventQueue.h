// EventQueue: the process-wide key queue. The reader thread (ConsoleReader)
// takes input records from the console input buffer, where the terminal
// thread and the graphics window put them, turns each key-down into a pair
// (character, scan code) as the PC keyboard BIOS did, and appends it to a
// queue of 33 keys; the main thread takes them with getKey and peekKey.
// Depends on: KeyTranslation, ConsoleOutput (the beep), Lib, LineDevice,
// platform's console input and terminal, runtime.
#pragma once

#include <cstdint>

#include "console/KeyTranslation.h"
#include "platform/ConsoleInput.h"

namespace EventQueue {

// The console start-up of the key side, once: the console input buffer is
// emptied, the input mode saved (and restored at program end) and set to
// 17H, the line device installed when that works, the lock and the event
// made, the reader thread and (when standard input is a terminal) the
// terminal thread started.
void Init();

// Removes the oldest key. On an empty queue: with `wait` false answers false
// at once and leaves `ch` and `scan` alone; with `wait` true blocks until a
// key comes. `scan` is the translation's scan byte, or the key's own scan
// code when that is 0.
bool getKey(char& ch, char& scan, bool wait);

// The oldest key without removing it; false when none waits. Never blocks.
bool peekKey(char& ch, char& scan);

// Blocks until a key waits in the queue or `ms` milliseconds have passed;
// returns whether a key waits. A key queued before the call returns at once.
bool waitKey(std::uint32_t ms);

// Keys lost to a full queue since start-up (each with its beep). For
// diagnostics: keytest and graphdemo show it while they hold off reading.
std::uint32_t KeysLost();

// What the reader thread does with each record it reads: a key-down is
// translated and queued, or lost with the beep when 33 keys wait; a mouse
// record goes to the mouse handlers; anything else is dropped. Public so that
// tests and fuzzing can feed the queue one record at a time, synchronously,
// on the reader's own code path (after Init).
void TakeRecord(const Platform::InputRecord& record);

// ---------------------------------------------------------------- the queue, for its tests

struct KeyRecord {
  std::uint8_t ch;
  std::uint8_t scan;
  Platform::KeyEventRecord event;
};

constexpr std::uint8_t kQueueSize = 33;

// Drops every key that waits; does nothing before Init.
void Flush();

// ---------------------------------------------------------------- mouse records

struct MouseRecord {
  std::int32_t x;
  std::int32_t y;
  std::uint32_t buttons;  // bit 0 leftmost, bit 1 rightmost, bit 2 second from the left
};

// Returns true when it has dealt with the record; the walk stops there.
using MouseHandler = bool (*)(const MouseRecord& mouse);

// Adds a handler at the end of the chain (called on the reader thread). At
// most 8.
void AddMouseHandler(MouseHandler handler);

}  // namespace EventQueue
