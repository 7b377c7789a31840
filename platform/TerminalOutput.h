// The terminal's output half: positioned writes, plain writes and the bell,
// as the console's output calls need them, with standard control sequences,
// to descriptor 1 (the terminal, or the terminal view's pipe while the
// picture is up: platform/StandardOutput).
// Depends on: platform/StandardOutput.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/StandardOutput.h"

namespace Platform {

struct Coord {
  std::int16_t X = 0;
  std::int16_t Y = 0;
};

// Writes `text` at `at` and puts the cursor back where it was.
void WriteConsoleOutputCharacter(std::string_view text, Coord at);
void SetConsoleCursorPosition(Coord at);
void WriteConsole(std::string_view text);
// The three above write only when standard output is a terminal: control
// sequences have no business in a redirected file.

// Rings the terminal bell (standard output, else standard error, if either
// is a terminal). Never blocks: a beep asked for while the previous one would
// still sound (within `ms` of it) is merged into it, so a flood of lost keys
// gives a steady bell, not minutes of queued beeps. A bell has one pitch:
// `freq` is not used.
void Beep(std::uint32_t freq, std::uint32_t ms);

}  // namespace Platform
