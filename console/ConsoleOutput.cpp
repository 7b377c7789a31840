// ConsoleOutput: the procedure variables, constant-initialised to the platform.
#include "console/ConsoleOutput.h"

namespace ConsoleOutput {

bool (*GetConsoleScreenBufferInfo)(ScreenBufferInfo&) = Platform::GetConsoleScreenBufferInfo;
void (*WriteConsoleOutputCharacter)(std::string_view, Coord) = Platform::WriteConsoleOutputCharacter;
void (*SetConsoleCursorPosition)(Coord) = Platform::SetConsoleCursorPosition;
void (*WriteConsole)(std::string_view) = Platform::WriteConsole;
void (*Beep)(std::uint32_t, std::uint32_t) = Platform::Beep;

void UsePlatform() {
  GetConsoleScreenBufferInfo = Platform::GetConsoleScreenBufferInfo;
  WriteConsoleOutputCharacter = Platform::WriteConsoleOutputCharacter;
  SetConsoleCursorPosition = Platform::SetConsoleCursorPosition;
  WriteConsole = Platform::WriteConsole;
  Beep = Platform::Beep;
}

}  // namespace ConsoleOutput
