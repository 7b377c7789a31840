// One present of the whole 555 x 600 picture through the window surface, at
// scale 1 and at scale 3 (a window of 1665 x 1800): the copy, scaled, and
// the update that reaches the X server. Goal at scale 1: under 0.5 ms.
// Needs a display large enough for scale 3:
//     XVFB_SIZE=2000x2000 bash bench/graph/xvfb_run.sh build/bench/graph/present_bench
#include "platform/Window.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_Present(benchmark::State& state) {
  if (!Platform::StartVideo()) {
    state.SkipWithError("no display");
    return;
  }
  const auto scale = static_cast<std::uint32_t>(state.range(0));
  const Platform::WindowId window = Platform::OpenWindow("Graph", 1, 1, 555, 600, {scale, false});
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
BENCHMARK(BM_Present)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
