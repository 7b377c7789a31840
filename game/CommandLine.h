// CommandLine: the program's few arguments and the one environment
// variable that stands for one of them. --help and --version answer on
// standard output; --scale N and --fullscreen (and STACKFALL_SCALE) say how
// the window shows the game; anything else is refused on standard error.
// Handled before any module starts, so neither the terminal nor the display
// is touched. Without arguments the game starts as always.
// Depends on: the C library's standard streams and environment only.
#pragma once

#include <cstdint>
#include <optional>

namespace Game {

// How the window is to show the game: the whole scale, 0 for the desktop's
// own, and whether full screen.
struct WindowChoice {
  std::uint32_t scale = 0;
  bool fullScreen = false;
};

// Nothing when the game is to start, with `choice` filled from --scale,
// --fullscreen and STACKFALL_SCALE (--scale wins). Otherwise the exit
// status, after the answer has been written: 0 for --help or --version, 1
// when standard output could not take it, 2 for anything else (a one-line
// error, and the usage line when an argument was wrong).
std::optional<int> HandleArguments(int argc, const char* const argv[], WindowChoice& choice);

}  // namespace Game
