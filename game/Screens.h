// The screens around a game: the title picture, the instructions and the
// game-over picture with the score and the question whether to play again.
// The pictures are grids of letters, each letter a colour class that a small
// colour map turns into a colour number.
// Depends on: Graph, IO, Lib, WholeStr, StandardSound, the game's state.
#pragma once

#include <cstdint>

namespace Game {

// The title picture, blinking until a key is pressed; the key is dropped and
// the screen cleared.
void Intro();

// The key help; waits for a key (dropped) and clears the screen.
void Instructies();

// The game-over flash, the score and the question; the key read is left in
// `newgame`.
void GameOver();

// ---------------------------------------------------------------- pictures

constexpr std::uint32_t kIntroRows = 30;
constexpr std::uint32_t kIntroColumns = 21;
constexpr std::uint32_t kGameOverRows = 29;
constexpr std::uint32_t kGameOverColumns = 23;

// Row r (from 1) is intro[r - 1], column c (from 1) its character c - 1.
extern const char* const intro[kIntroRows];
extern const char* const gameOver[kGameOverRows];

// Indexed by letter - 'a'.
extern const std::uint32_t colorMap[8];
extern const std::uint32_t colorMap1[9];
extern const std::uint32_t colorMap2[9];
extern const std::uint32_t colorMap3[9];

}  // namespace Game
