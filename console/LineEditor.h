// LineEditor: the console line editor. Reads one line from the key queue
// into a buffer, editing it in place on the screen: typing overwrites, with
// Backspace, Del, Home, End, Left and Right; Enter ends the line. All its
// output goes through ConsoleOutput.
// Depends on: ConsoleOutput, EventQueue, runtime.
#pragma once

#include <cstdint>

namespace LineEditor {

// Reads a line into `buf` (of `size` bytes, at least 2) and returns the
// number of bytes stored: the line (at most size - 2 characters) and CR LF.
std::uint32_t ReadLine(char* buf, std::uint32_t size);

}  // namespace LineEditor
