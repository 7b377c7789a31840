// Latency of the road of a key inside the process: from a key record written
// into the console input buffer (as the terminal thread or the graphics
// window writes it) to IO::KeyPressed answering TRUE on the main thread.
// Reports the median and the 99th percentile in microseconds. Run the
// Release (RelWithDebInfo) build: build/bench/console/key_latency_bench.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "console/Console.h"
#include "console/IO.h"
#include "platform/ConsoleInput.h"

namespace {

void StartConsole() {
  static bool started = false;
  if (started) return;
  started = true;
  int null = ::open("/dev/null", O_RDONLY);  // keys come from the benchmark only
  ::dup2(null, STDIN_FILENO);
  ::close(null);
  Console::Init();
}

// Arg 0: keys back to back (the reader may still be awake from the last
// one). Arg 1: a millisecond of quiet before each key, so the reader sleeps
// in its wait when the key comes, as with keys typed by hand.
void BM_RecordToKeyPressed(benchmark::State& state) {
  StartConsole();
  const bool afterQuiet = state.range(0) != 0;
  Platform::InputRecord key;
  key.EventType = Platform::KEY_EVENT;
  key.Event.KeyEvent.bKeyDown = 1;
  key.Event.KeyEvent.wRepeatCount = 1;
  key.Event.KeyEvent.wVirtualScanCode = 0x05;
  key.Event.KeyEvent.uChar = '4';
  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(state.max_iterations));
  for (auto _ : state) {
    if (afterQuiet) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto start = std::chrono::steady_clock::now();
    Platform::WriteConsoleInput(key);
    while (!IO::KeyPressed()) {
    }
    auto seen = std::chrono::steady_clock::now();
    std::chrono::duration<double> elapsed = seen - start;
    state.SetIterationTime(elapsed.count());
    micros.push_back(elapsed.count() * 1e6);
    benchmark::DoNotOptimize(IO::RdKey());
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[micros.size() * 99 / 100];
  state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_RecordToKeyPressed)->Arg(0)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordToKeyPressed)->Arg(1)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
