// PlaySound on a real sound server (a PulseAudio server of our own whose
// null sink rewinds, as a sink on a sound card does), seen from its monitor:
// how soon a requested sound starts, from a stream at rest and from one
// playing silence; what a request costs the caller; how soon the stream
// rests after the last sound; what a request costs with the server gone.
// Then the step at a cut between the game's own sounds, on SDL's disk
// driver, which writes exactly what the device plays. Prints the figures,
// then rows for bench/report.sh (figure|goal|median|met).
//   pulse_bench [rounds, default 15]
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/Sound.h"
#include "sounds/WaveFile.h"
#include "tests/support/PulseServer.h"
#include "tests/support/Samples.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kAsync = Platform::SND_FILENAME | Platform::SND_ASYNC;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Reads the monitor as it plays and notes when the first loud sample after
// Arm() arrives.
class Listener {
 public:
  explicit Listener(int fd) : fd_(fd), reader_([this] { Read(); }) {}
  ~Listener() { reader_.join(); }  // ends when the recorder stops
  void Arm() { armed_ = true; }
  std::optional<double> MsSince(Clock::time_point start) {
    if (!Pulse::Server::WaitFor([this] { return !armed_; }, 5)) return std::nullopt;
    return Ms(heard_.load() - start);
  }

 private:
  void Read() {
    std::int16_t block[64];
    for (ssize_t n; (n = ::read(fd_, block, sizeof block)) > 0;)
      for (ssize_t i = 0; i < n / 2; ++i)
        if (armed_ && std::abs(block[i]) > 3000) {
          heard_ = Clock::now();
          armed_ = false;
        }
    ::close(fd_);
  }
  int fd_;
  std::atomic<bool> armed_{false};
  std::atomic<Clock::time_point> heard_{};
  std::thread reader_;
};

struct Figures {
  std::vector<double> fromRest, fromRunning, callFromRest, callRunning, toRest, gone;
};

void OnTheServer(const fs::path& dir, int rounds, Figures& f) {
  Pulse::Server server(dir, true);
  if (!server.Start()) {
    std::fprintf(stderr, "the sound server did not start; see %s\n", (dir / "server.log").c_str());
    return;
  }
  const int fd = server.RecordIntoPipe();
  if (fd < 0) return;
  Listener listener(fd);
  // Loud from its second sample on: a 1 kHz tone at half of full scale.
  const std::string tone = (dir / "tone.wav").string();
  WaveFile::WriteMono16(tone, Samples::Sine(22050 / 10, 1000, 0.5), 22050);
  auto resting = [&] { return server.SinkState() == "IDLE"; };
  auto play = [&](std::vector<double>& call, std::vector<double>& start) {
    listener.Arm();
    const auto t = Clock::now();
    const bool ok = Platform::PlaySound(tone, kAsync) != 0;
    call.push_back(Ms(Clock::now() - t));
    if (auto heard = listener.MsSince(t); ok && heard) start.push_back(*heard);
  };
  Platform::PlaySound(tone, kAsync);  // decoded once, as the game's sounds are
  for (int r = 0; r < rounds; ++r) {
    Pulse::Server::WaitFor(resting);
    Sleep(50 + r * 7 % 40);
    play(f.callFromRest, f.fromRest);
    // The stream still plays silence 100-300 ms after the sound ended.
    Sleep(200 + r * 13 % 200);
    play(f.callRunning, f.fromRunning);
    // From the end of this sound (100 ms long, heard about when measured) to rest.
    const auto end = Clock::now() + std::chrono::milliseconds(100);
    Pulse::Server::WaitFor(resting);
    f.toRest.push_back(Ms(Clock::now() - end));
  }
  server.Kill();
  server.StopRecording();
  for (int r = 0; r < rounds; ++r) {
    const auto t = Clock::now();
    if (Platform::PlaySound(tone, kAsync) == 0) f.gone.push_back(Ms(Clock::now() - t));
  }
  Platform::CloseSound();
}

struct Cut {
  double played = -1, hard = -1, own = -1;  // largest steps, as shares of full scale
};

// The largest step in the 100 samples after the cut where `second` replaces
// `first` `afterMs` in: as played; as a hard cut there would play it; in the
// two sounds themselves there (the game's sounds have steps of their own).
Cut CutStep(const fs::path& dir, const char* first, const char* second, int afterMs) {
  const fs::path out = dir / ("disk" + std::to_string(afterMs) + ".raw");
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  Platform::CloseSound();
  Platform::PlaySound(first, kAsync);
  Sleep(afterMs);
  Platform::PlaySound(second, kAsync);
  Sleep(100);
  Platform::CloseSound();
  using Samples::LargestStep;
  using Samples::Sound;
  const Sound played = WaveFile::Samples16(WaveFile::ReadBytes(out.string()));
  const Sound a = WaveFile::ReadMono16((fs::path(Platform::SoundFolder()) / first).string());
  const Sound b = WaveFile::ReadMono16((fs::path(Platform::SoundFolder()) / second).string());
  const std::size_t at = Samples::Find(played, Sound(a.begin(), a.begin() + 64));
  if (at == std::string::npos) return {};
  std::size_t k = 0;  // the first sample of `first` not played as it is: the cut
  while (at + k < played.size() && k < a.size() && played[at + k] == a[k]) ++k;
  if (k + 100 > a.size() || at + k + 100 > played.size()) return {};
  Cut cut;
  cut.played = LargestStep(Sound(played.begin() + std::ptrdiff_t(at + k - 1), played.begin() + std::ptrdiff_t(at + k + 100)));
  Sound hard{a[k - 1]};
  hard.insert(hard.end(), b.begin(), b.begin() + 100);
  cut.hard = LargestStep(hard);
  cut.own = std::max(LargestStep(Sound(a.begin() + std::ptrdiff_t(k - 1), a.begin() + std::ptrdiff_t(k + 100))),
                     LargestStep(Sound(b.begin(), b.begin() + 100)));
  return cut;
}

void Row(const char* figure, const char* goal, double value, const char* unit, bool met) {
  std::printf("%s|%s|%.3g %s|%s\n", figure, goal, value, unit, value < 0 ? "?" : met ? "yes" : "no");
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  if (!Pulse::Installed()) {
    std::fprintf(stderr, "pulseaudio or pulseaudio-utils is not installed (scripts/deps.sh installs them)\n");
    return 1;
  }
  const fs::path dir = fs::temp_directory_path() / ("stackfall_pulse_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  Figures f;
  OnTheServer(dir, rounds, f);

  std::vector<double> played, hard, own;
  std::mt19937 random(1);
  for (int r = 0; r < rounds; ++r) {
    const int after = 22 + int(random() % 48);  // as the intro cuts the check sound
    if (const Cut cut = CutStep(dir, "thx.wav", "startup.wav", after); cut.played >= 0)
      played.push_back(cut.played), hard.push_back(cut.hard), own.push_back(cut.own);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);

  std::printf("sound start, stream at rest: median %.2f ms (min %.2f, max %.2f, %zu of %d)\n", Median(f.fromRest),
              f.fromRest.empty() ? -1 : *std::min_element(f.fromRest.begin(), f.fromRest.end()),
              f.fromRest.empty() ? -1 : *std::max_element(f.fromRest.begin(), f.fromRest.end()), f.fromRest.size(), rounds);
  std::printf("sound start, stream playing silence: median %.2f ms (%zu of %d)\n", Median(f.fromRunning),
              f.fromRunning.size(), rounds);
  std::printf("PlaySound call: from rest %.2f ms, stream open %.3f ms\n", Median(f.callFromRest), Median(f.callRunning));
  std::printf("last sound's end to the sink idle: median %.0f ms\n", Median(f.toRest));
  std::printf("PlaySound with the server killed (one failed open): median %.2f ms\n", Median(f.gone));
  std::printf("cut of thx.wav by startup.wav after 22-69 ms, largest step over the cut: %.4f of full scale "
              "(a hard cut: %.4f; the sounds' own there: %.4f; %zu of %d)\n",
              Median(played), Median(hard), Median(own), played.size(), rounds);
  const double rest = Median(f.fromRest), running = Median(f.fromRunning);
  Row("sound start after a request, stream at rest (PulseAudio)", "<= playing", rest, "ms", rest <= running);
  Row("sound start after a request, stream playing silence", "-", running, "ms", true);
  Row("PlaySound call that opens the resting stream", "< 10 ms", Median(f.callFromRest), "ms", Median(f.callFromRest) < 10);
  Row("last sound's end to the stream at rest", "< 1000 ms", Median(f.toRest), "ms", Median(f.toRest) < 1000);
  Row("PlaySound with the sound server gone", "< 20 ms", Median(f.gone), "ms", Median(f.gone) < 20);
  Row("largest step over a cut, thx.wav by startup.wav", "<= the sounds' own + 0.02 FS", Median(played), "FS",
      Median(played) <= Median(own) + 0.02);
  return 0;
}
