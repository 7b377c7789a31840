// The terminal in the browser: there is none. Standard input is no
// terminal, so no raw mode, no terminal thread and no console mode; keys
// come from the page (platform/web/Window.cpp).
#include "platform/Terminal.h"

namespace Platform {

bool StartTerminal() { return false; }

bool TerminalRunning() { return false; }

bool GetConsoleMode(std::uint32_t&) { return false; }

bool SetConsoleMode(std::uint32_t) { return false; }

bool GetConsoleScreenBufferInfo(ConsoleScreenBufferInfo&) { return false; }

}  // namespace Platform
