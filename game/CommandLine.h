// CommandLine: the program's few arguments. --help and --version answer on
// standard output; anything else is refused on standard error. Handled
// before any module starts, so neither the terminal nor the display is
// touched. Without arguments the game starts as always.
// Depends on: the C library's standard streams only.
#pragma once

#include <optional>

namespace Game {

// Nothing when there are no arguments: play. Otherwise the exit status,
// after the answer has been written: 0 for --help or --version, 1 when
// standard output could not take it, 2 for anything else (a one-line error
// and the usage line).
std::optional<int> HandleArguments(int argc, const char* const argv[]);

}  // namespace Game
