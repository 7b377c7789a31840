// One present of the whole 555 x 600 window through the window surface:
// the copy and the update that reaches the X server. Goal: under 0.5 ms.
// Needs a display; bench/graph/xvfb_run.sh gives it one.
#include "platform/Window.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_Present(benchmark::State& state) {
  if (!Platform::StartVideo()) {
    state.SkipWithError("no display");
    return;
  }
  const Platform::WindowId window = Platform::OpenWindow("Graph", 1, 1, 555, 600);
  if (!window) {
    state.SkipWithError("no window");
    return;
  }
  std::vector<std::uint32_t> pixels(555 * 600);
  std::uint32_t frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::fill(pixels.begin(), pixels.end(), ++frame * 0x010203u & 0xFFFFFF);
    state.ResumeTiming();
    Platform::CopyToWindow(window, pixels.data(), 555, 600);
    Platform::UpdateWindow(window);
  }
  Platform::CloseWindow(window);
}
BENCHMARK(BM_Present)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
