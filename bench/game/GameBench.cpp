// The game's drawing loads on the picture with no view: the redraw
// around a piece (each key and each fall step) and the full redraw (each
// landing and each drop).
#include "game/Board.h"
#include "game/Rules.h"
#include "game/State.h"
#include "graph/Graph.h"

#include <benchmark/benchmark.h>

namespace {

void Board() {
  Graph::SelectHeadless();
  Game::FillPieceTable();
  Game::FillScreen();
  Game::InsertBlock();
}

void BM_DrawScreen(benchmark::State& state) {
  Board();
  for (auto _ : state) Game::DrawScreen();
}
BENCHMARK(BM_DrawScreen)->Unit(benchmark::kMicrosecond);

void BM_DrawFullScreen(benchmark::State& state) {
  Board();
  for (auto _ : state) Game::DrawFullScreen();
}
BENCHMARK(BM_DrawFullScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
