// PlaySound figures: starting a sound already played once (goal: well under
// a millisecond, so that a removed row never holds up the game), and one
// failed open of the audio device. The device is SDL's "dummy" driver unless
// SDL_AUDIODRIVER says otherwise (e.g. disk with SDL_DISKAUDIOFILE=/dev/null).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/Sound.h"

namespace {

constexpr std::uint32_t kAsync = Platform::SND_FILENAME | Platform::SND_ASYNC;

// The longest of our sounds and the row sound, each decoded at its first play.
void BM_AsyncPlayOfADecodedSound(benchmark::State& state, const char* name) {
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  Platform::CloseSound();
  if (Platform::PlaySound(name, kAsync) == 0) {
    state.SkipWithError("no audio device or no such sound");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(Platform::PlaySound(name, kAsync));
  Platform::PlaySound("", 0);
  Platform::CloseSound();
}
BENCHMARK_CAPTURE(BM_AsyncPlayOfADecodedSound, wohoo, "wohoo.wav")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AsyncPlayOfADecodedSound, game_over, "game_over.wav")->Unit(benchmark::kMicrosecond);

// A request with no device open tries to open one: what that attempt costs.
// `driver` empty: SDL's own choice, as the game makes it. Only the request
// is timed, not the closing between two of them.
void BM_OpenAttempt(benchmark::State& state, const char* driver) {
  int opened = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Platform::CloseSound();
    if (*driver == '\0') ::unsetenv("SDL_AUDIODRIVER");
    else ::setenv("SDL_AUDIODRIVER", driver, 1);
    state.ResumeTiming();
    opened = Platform::PlaySound("", 0);
  }
  Platform::CloseSound();
  ::unsetenv("SDL_AUDIODRIVER");
  state.SetLabel(opened ? "a device opened" : "no device");
}
BENCHMARK_CAPTURE(BM_OpenAttempt, sdl_default, "")->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_OpenAttempt, no_such_driver, "no_such_driver")->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
