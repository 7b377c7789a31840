// ConsoleOutput: the console output calls of the line editor and the beep of
// the key reader, as procedure variables. They start as the platform's calls;
// tests put a fake console in their place.
// Depends on: platform/Terminal.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Terminal.h"

namespace ConsoleOutput {

using Coord = Platform::Coord;
using ScreenBufferInfo = Platform::ConsoleScreenBufferInfo;

extern bool (*GetConsoleScreenBufferInfo)(ScreenBufferInfo& info);
extern void (*WriteConsoleOutputCharacter)(std::string_view text, Coord at);  // cursor stays
extern void (*SetConsoleCursorPosition)(Coord at);
extern void (*WriteConsole)(std::string_view text);
extern void (*Beep)(std::uint32_t freq, std::uint32_t ms);

// Puts the platform's calls back.
void UsePlatform();

}  // namespace ConsoleOutput
