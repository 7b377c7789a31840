// The play loop: spawn, a fall interval of `droprate` ms in 10 ms ticks with
// at most one key per tick, one row of fall, a partial redraw; landing, full
// rows, the score, the speed-up and a full redraw. The rules (game/Rules.h)
// decide; this file draws and waits between them.
#include "console/IO.h"
#include "console/Lib.h"
#include "console/WholeStr.h"
#include "game/Board.h"
#include "game/Program.h"
#include "game/Rules.h"
#include "game/State.h"
#include "graph/Graph.h"

namespace Game {

namespace {

// Keys act inside the wait and never end it early: after "0" the piece can
// still be moved or turned until the interval is over.
void CarryOut(char key) {
  switch (PlayKey(key)) {
    case Redraw::AroundPiece:
      DrawScreen();
      break;
    case Redraw::Whole:
      DrawFullScreen();
      break;
    case Redraw::None:
      break;
  }
}

// One fall interval: the ticks, then one row down if the piece can fall.
void FallStep() {
  tijd = 0;
  do {
    if (IO::KeyPressed()) {
      arrow = IO::RdKey();
      IO::RdLn();
      CarryOut(arrow);
    }
    tijd = tijd + 10;
    Lib::Delay(10);
  } while (tijd < droprate);
  FallOneRow();
  DrawScreen();
}

void ShowScore() {
  WholeStr::CardToStr(score, temp);
  // Deliberate: the old digits are not erased; the score only grows.
  Graph::RawOutText(390, 50, 3, "Score: ");
  Graph::RawOutText(450, 50, 3, temp);
}

}  // namespace

void PlayLoop() {
  do {
    InsertBlock();
    DrawScreen();
    empty_under = CheckUnder();
    // Deliberate: after q the piece lands where it is, in mid-air if need be.
    while (empty_under && arrow != 'q') FallStep();
    Land();
    ShowScore();
    SpeedUp();
    DrawFullScreen();
  } while (!game_over && arrow != 'q');
}

}  // namespace Game
