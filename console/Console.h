// Console: the one start-up entry of the console and keyboard subsystem, for
// the program body to call after the sound, number formatting, graphics and
// pause modules.
// Depends on: BiosIO, IO, Lib, WholeStr (their start-up).
#pragma once

namespace Console {

// IO's output half, the pause and the number formatting (each once, so an
// earlier start-up by the sound module is fine), then the key side: the key
// queue with its reader thread, the terminal and its thread, BiosIO. Once.
void Init();

}  // namespace Console
