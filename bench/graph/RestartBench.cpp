// A second Graph::Init with the same geometry, as at the start of every
// game: the old window closed, a new one standing, shown and cleared. Needs
// a display; bench/graph/xvfb_run.sh gives it one.
#include "graph/Graph.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Restart(benchmark::State& state) {
  if (!Graph::Init(1, 1, 555, 600)) {
    state.SkipWithError("no display");
    return;
  }
  for (auto _ : state) {
    Graph::Init(1, 1, 555, 600);
    Graph::Rectangle(15, 15, 359, 449, 14, true);
  }
}
BENCHMARK(BM_Restart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
