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

// Ticks of the interval still to run, this one included; at least one, as
// the loop below always runs its first tick.
std::uint32_t TicksLeft() { return tijd < droprate ? (droprate - tijd + 9) / 10 : 1; }

// The rest of a tick whose key came `slept` microseconds into it, to the
// nearest millisecond.
std::uint32_t RestOfTick(std::uint32_t slept) { return (10000 - slept + 500) / 1000; }

// One fall interval: ticks of a key check, at most one key and the rest of a
// 10 ms pause, each adding 10 to `tijd` until it reaches `droprate`; then one
// row down if the piece can fall. While no key waits, the ticks up to a key
// or the interval's end are slept in one wait, so a key acts as it arrives;
// the order and count of keys, ticks and falls are kept (docs/quirks.md).
void FallStep() {
  tijd = 0;
  do {
    std::uint32_t slept = 0;  // microseconds of this tick before its key
    if (!IO::KeyPressed()) {
      const std::uint32_t ticks = TicksLeft();
      const std::uint32_t waited = Lib::WaitForKey(ticks * 10);
      tijd = tijd + waited / 10000 * 10;
      if (waited == ticks * 10000) break;  // no key: the interval is over
      slept = waited % 10000;
    }
    if (IO::KeyPressed()) {
      arrow = IO::RdKey();
      IO::RdLn();
      CarryOut(arrow);
    }
    tijd = tijd + 10;
    Lib::Delay(RestOfTick(slept));
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
