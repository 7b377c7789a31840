// The game's heaviest drawing, through Graph::Rectangle on the back buffer
// (no view: the drawing alone). Goals: a full board under 0.2 ms, a
// game-over frame under 15 ms, an intro cycle under 1 ms.
#include "graph/Graph.h"

#include <benchmark/benchmark.h>

namespace {

void Open() {
  Graph::SelectHeadless();
  Graph::Init(1, 1, 555, 600);
}

// The board: 23 x 32 cells of 15 x 15, walls included.
void BM_FullBoard(benchmark::State& state) {
  Open();
  for (auto _ : state) {
    for (std::uint32_t y = 0; y < 32; ++y)
      for (std::uint32_t x = 0; x < 23; ++x)
        Graph::Rectangle(x * 15 + 1, y * 15 + 1, (x + 1) * 15, (y + 1) * 15, (x + y) % 16, true);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 736);
}
BENCHMARK(BM_FullBoard)->Unit(benchmark::kMillisecond);

// One game-over frame: 29 x 23 rectangles reaching 30 cells on, clipped.
void BM_GameOverFrame(benchmark::State& state) {
  Open();
  for (auto _ : state) {
    for (std::uint32_t r = 1; r <= 29; ++r)
      for (std::uint32_t c = 1; c <= 23; ++c)
        Graph::Rectangle(c * 15, r * 15, (c + 30) * 15, (r + 30) * 15, (r * c) % 16, true);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 667);
}
BENCHMARK(BM_GameOverFrame)->Unit(benchmark::kMillisecond);

// One intro cycle: the blank band and the picture, each square filled and
// then outlined: 1,722 calls.
void BM_IntroCycle(benchmark::State& state) {
  Open();
  auto square = [](std::uint32_t col, std::uint32_t row, std::uint32_t colour) {
    Graph::Rectangle(col * 15, row * 15, (col + 1) * 15, (row + 1) * 15, colour, true);
    Graph::Rectangle(col * 15, row * 15, (col + 1) * 15, (row + 1) * 15, colour, false);
  };
  for (auto _ : state) {
    for (std::uint32_t i = 8; i <= 18; ++i)
      for (std::uint32_t j = 1; j <= 21; ++j) square(j, i, 14);
    for (std::uint32_t r = 1; r <= 30; ++r)
      for (std::uint32_t c = 1; c <= 21; ++c) square(c, r, (r + c) % 16);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1722);
}
BENCHMARK(BM_IntroCycle)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
