// The title and game-over pictures. Both are mosaics of 15-pixel squares
// whose top-left corners sit at (column*15, row*15), rows and columns from 1.
#include "game/Screens.h"

#include "console/IO.h"
#include "console/Lib.h"
#include "console/WholeStr.h"
#include "game/Board.h"
#include "game/State.h"
#include "graph/Graph.h"
#include "runtime/Runtime.h"
#include "sound/StandardSound.h"

namespace Game {

// 2002 in class b; STACK, one letter per class c to g, each a row lower than
// the one before; FALL in class h, each letter a row higher.
const char* const intro[kIntroRows] = {
    "aaaaaaaaaaaaaaaaaaaaa",  // 1
    "aaabbbabbbabbbabbbaaa",  // 2
    "aaaaabababababaaabaaa",  // 3
    "aaabbbabababababbbaaa",  // 4
    "aaabaaabababababaaaaa",  // 5
    "aaabbbabbbabbbabbbaaa",  // 6
    "aaaaaaaaaaaaaaaaaaaaa",  // 7
    "aaaaaaaaaaaaaaaaaaaaa",  // 8
    "acccaaaaaaaaaaaaaaaaa",  // 9
    "acaaadddaaaaaaaaaaaaa",  // 10
    "acccaadaaeeeaaaaaaaaa",  // 11
    "aaacaadaaeaeafffaaaaa",  // 12
    "acccaadaaeeeafaaagaga",  // 13
    "aaaaaadaaeaeafaaagaga",  // 14
    "aaaaaaaaaeaeafaaaggaa",  // 15
    "aaaaaaaaaaaaafffagaga",  // 16
    "aaaaaaaaaaaaaaaaagaga",  // 17
    "aaaaaaaaaaaaaaaaaaaaa",  // 18
    "aaaaaaaaaaaaaaaaaaaaa",  // 19
    "aaaaaaaaaaaaaaaaaaaaa",  // 20
    "aaaaaaaaaaaaahaaaaaaa",  // 21
    "aaaaaaaaahaaahaaaaaaa",  // 22
    "aaaaahhhahaaahaaaaaaa",  // 23
    "ahhhahahahaaahaaaaaaa",  // 24
    "ahaaahhhahaaahhhaaaaa",  // 25
    "ahhhahahahhhaaaaaaaaa",  // 26
    "ahaaahahaaaaaaaaaaaaa",  // 27
    "ahaaaaaaaaaaaaaaaaaaa",  // 28
    "aaaaaaaaaaaaaaaaaaaaa",  // 29
    "aaaaaaaaaaaaaaaaaaaaa",  // 30
};

// GAME, one letter per class b, c, d, h, each lower than the one before;
// OVER, classes e, f, g, i, rising to the right.
const char* const gameOver[kGameOverRows] = {
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 1
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 2
    "abbbaaaaaaaaaaaaaaaaaaa",  // 3
    "abaaaaaaaaaaaaaaaaaaaaa",  // 4
    "ababbaacccaaaaaaaaaaaaa",  // 5
    "abaabaacacaaaaaaaaaaaaa",  // 6
    "abbbbaacccaaddaddaaaaaa",  // 7
    "aaaaaaacacaadadadaaaaaa",  // 8
    "aaaaaaacacaadaaadaaaaaa",  // 9
    "aaaaaaaaaaaadaaadaahhha",  // 10
    "aaaaaaaaaaaadaaadaahaaa",  // 11
    "aaaaaaaaaaaaaaaaaaahhaa",  // 12
    "aaaaaaaaaaaaaaaaaaahaaa",  // 13
    "aaaaaaaaaaaaaaaaaaahhha",  // 14
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 15
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 16
    "aaaaaaaaaaaaaaaaaaiiiia",  // 17
    "aaaaaaaaaaaaaaaaaaiaaia",  // 18
    "aaaaaaaaaaaaagggaaiiiia",  // 19
    "aaaaaaaaaaaaagaaaaiaiaa",  // 20
    "aaaaaafaaafaaggaaaiaaia",  // 21
    "aaaaaafaaafaagaaaaaaaaa",  // 22
    "aeeeaaafafaaagggaaaaaaa",  // 23
    "aeaeaaafafaaaaaaaaaaaaa",  // 24
    "aeaeaaaafaaaaaaaaaaaaaa",  // 25
    "aeaeaaaaaaaaaaaaaaaaaaa",  // 26
    "aeeeaaaaaaaaaaaaaaaaaaa",  // 27
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 28
    "aaaaaaaaaaaaaaaaaaaaaaa",  // 29
};

const std::uint32_t colorMap[8] = {14, 5, 10, 9, 12, 1, 2, 0};

// Three windows on one cycle of colours (2, 9, 5, 14, 0, 4, 8, 15, 6, 11):
// from map to map every class takes the colour of the class before it.
const std::uint32_t colorMap1[9] = {5, 14, 0, 4, 8, 15, 6, 11, 2};
const std::uint32_t colorMap2[9] = {9, 5, 14, 0, 4, 8, 15, 6, 11};
const std::uint32_t colorMap3[9] = {2, 9, 5, 14, 0, 4, 8, 15, 6};

namespace {

template <std::uint32_t N>
std::uint32_t Colour(const std::uint32_t (&map)[N], char letter) {
  return map[RT_INDEX(static_cast<std::uint32_t>(letter - 'a'), N)];
}

// A square of the title picture: filled, then outlined in the same colour.
void Square(std::uint32_t column, std::uint32_t row, std::uint32_t colour) {
  const std::uint32_t x = column * kCellSize, y = row * kCellSize;
  Graph::Rectangle(x, y, x + kCellSize, y + kCellSize, colour, true);
  Graph::Rectangle(x, y, x + kCellSize, y + kCellSize, colour, false);
}

// Deliberate: each cell's rectangle reaches 30 cells on, so every later one
// covers all of an earlier one but its own block, and the last row and column
// (class a) flood the rest of the window.
void Frame(const std::uint32_t (&map)[9]) {
  for (std::uint32_t r = 1; r <= kGameOverRows; ++r) {
    for (std::uint32_t c = 1; c <= kGameOverColumns; ++c) {
      Graph::Rectangle(c * kCellSize, r * kCellSize, (c + 30) * kCellSize, (r + 30) * kCellSize,
                       Colour(map, gameOver[r - 1][c - 1]), true);
    }
  }
}

}  // namespace

void Intro() {
  StandardSound::PlaySoundEvent(StandardSound::INTRO);
  // The band (class a's colour) hides the title, the picture brings it back:
  // the title blinks as fast as drawing allows. A key already waiting is
  // seen only after one whole cycle.
  do {
    for (std::uint32_t row = 8; row <= 18; ++row) {
      for (std::uint32_t column = 1; column <= kIntroColumns; ++column) Square(column, row, 14);
    }
    Lib::Delay(10);
    for (std::uint32_t r = 1; r <= kIntroRows; ++r) {
      for (std::uint32_t c = 1; c <= kIntroColumns; ++c) Square(c, r, Colour(colorMap, intro[r - 1][c - 1]));
    }
    Lib::Delay(10);
  } while (!IO::KeyPressed());
  (void)IO::RdKey();
  Graph::ClearScreen(2);
}

void GameOver() {
  char scoreText[10];
  Graph::ClearScreen(2);
  StandardSound::PlaySoundEvent(StandardSound::EXPLODE);
  for (int pass = 0; pass < 2; ++pass) {
    Frame(colorMap1);
    Lib::Delay(10);
    Frame(colorMap2);
    Lib::Delay(10);
    Frame(colorMap3);
  }
  WholeStr::CardToStr(score, scoreText);
  Graph::RawOutText(25, 450, 12, "Uw score was:");
  Graph::RawOutText(170, 450, 12, scoreText);
  Graph::RawOutText(25, 495, 15, "Druk op een n voor nieuw spel.");
  newgame = IO::RdKey();
  IO::WrLn();
  IO::RdLn();
}

}  // namespace Game
