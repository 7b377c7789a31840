// The terminal as our console host. When standard input is a terminal it is
// put in raw mode for the whole run and given back exactly as it was on every
// way out (normal end, Halt, Fatal, the signals Runtime handles), and a thread
// turns the bytes it sends into key records in the console input buffer.
// Also here: the console mode word, and the screen size with the cursor's
// place (its answer comes through the terminal thread). Writing to the
// terminal is platform/TerminalOutput.
// Depends on: platform/ConsoleInput, platform/KeyDecoder,
// platform/TerminalOutput, runtime; termios.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/TerminalOutput.h"

namespace Platform {

// How long a lone ESC waits for the rest of a sequence before it counts as
// the Esc key.
constexpr int kEscWaitMs = 100;

// Puts the terminal on standard input in raw mode (no canonical input, no
// echo, no IXON/ICRNL/IEXTEN; ISIG kept for Ctrl+C alone, output processing
// kept), registers its restoring as a termination procedure, and starts the
// terminal thread. Once per process; false (and nothing done) when standard
// input is not a terminal.
bool StartTerminal();

// True while the terminal thread reads; false before StartTerminal, when
// standard input is not a terminal, and after end of file or hang-up.
bool TerminalRunning();

// The console input mode word. The terminal stays raw whatever it says: all
// reading goes through key records. Both fail when standard input is not a
// terminal, as they fail on a redirected handle.
bool GetConsoleMode(std::uint32_t& mode);
bool SetConsoleMode(std::uint32_t mode);

struct ConsoleScreenBufferInfo {
  Coord dwSize;            // columns and rows of the terminal
  Coord dwCursorPosition;  // 0-based
};

// Size from the terminal, cursor from its answer to ESC[6n (read by the
// terminal thread). False when standard output is not a terminal, the
// terminal thread does not run, or no answer comes within half a second.
bool GetConsoleScreenBufferInfo(ConsoleScreenBufferInfo& info);

}  // namespace Platform
