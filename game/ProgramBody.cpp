// The program body: start-up, the sound check, and one game after another.
#include "game/Program.h"

#include "console/Console.h"
#include "console/IO.h"
#include "console/Lib.h"
#include "console/WholeStr.h"
#include "game/Board.h"
#include "game/Rules.h"
#include "game/Screens.h"
#include "game/State.h"
#include "graph/Graph.h"
#include "sound/StandardSound.h"

namespace Game {

const char kCredit1[] = "Stack Fall - een spel met vallende blokjes in veertien vormen";
const char kCredit2[] = "Opnieuw gebouwd in C++ voor Linux, met zelfgemaakte geluiden";

namespace {

// Grey dots on the cell corners of the interior; every redraw of a cell
// paints over its dot, so the first full redraw removes them all.
void DrawLattice() {
  for (std::uint32_t column = kInteriorLeft; column <= kInteriorRight; ++column) {
    for (j = kInteriorTop; j <= kInteriorBottom; j = j + 1) {
      Graph::Plot(kCellSize * column, kCellSize * j, 8);
      Graph::Plot(kCellSize * kRightWall, kCellSize * j, 8);
      Graph::Plot(kCellSize * column, kCellSize * kFloor, 8);
    }
  }
}

void PlayGame() {
  StartGameState();
  IO::WrLn();
  IO::WrLn();
  FillScreen();
  Intro();
  Instructies();
  DrawFullScreen();
  Graph::RawOutText(20, 500, 3, kCredit1);
  Graph::RawOutText(20, 520, 3, kCredit2);
  DrawLattice();
  PlayLoop();
  GameOver();
}

}  // namespace

void StartModules() {
  StandardSound::Init();  // console output first
  WholeStr::Init();
  // Graph needs no start-up of its own: its state starts as declared and its
  // lock is made on first use; the window comes with the first Graph::Init.
  Lib::Init();
  Console::Init();  // last: starts the key reader and the terminal thread
  RowSound = [] { StandardSound::PlaySoundEvent(StandardSound::DEL_LINE); };
}

void ProgramBody() {
  StartModules();
  Init();  // the piece table
  if (StandardSound::InitSound(true)) {
    IO::WrStr("Sound works on this computer");
  } else {
    IO::WrStr("Sound doesn't work on this computer...");
  }
  IO::WrLn();
  newgame = 'n';
  // Only a lower-case n plays again; the piece sequence goes on where it stopped.
  while (newgame == 'n') PlayGame();
}

}  // namespace Game
