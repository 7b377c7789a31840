// make_sounds: makes Stack Fall's five wave files from scratch, by simple
// synthesis (tones with envelopes, arpeggios, a little noise). The results
// are committed beside this file; run it again only to change a sound:
//
//     build/sounds/make_sounds sounds
//
// Output is deterministic (a fixed noise generator, no clock), so a test can
// check that the committed files are what this program makes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "sounds/WaveFile.h"

namespace {

constexpr double kRate = 22050.0;
constexpr double kPi = 3.14159265358979323846;

// Relative strengths of the first harmonics: the colour of a voice.
using Timbre = std::vector<double>;
const Timbre kBell = {1.0, 0.35, 0.12, 0.05};
const Timbre kOrgan = {1.0, 0.5, 0.3, 0.18, 0.1};
const Timbre kSoft = {1.0, 0.2};
const Timbre kTriangle = {1.0, 0.0, 0.11, 0.0, 0.04};
const Timbre kReed = {1.0, 0.55, 0.35, 0.25, 0.15, 0.1};

struct Note {
  double start;         // seconds from the start of the sound
  double length;        // seconds, release included
  double freq;          // Hz at the start
  double amp;           // peak, before the sound is normalised
  const Timbre* timbre;
  double decay = 0.3;   // exponential decay time constant, seconds
  double glide = 1.0;   // frequency at the end / frequency at the start
  double vibrato = 0.0; // depth as a fraction of the frequency, at 5.5 Hz
};

// A sound being mixed, as floating-point samples.
struct Mix {
  std::vector<double> s;
  explicit Mix(double seconds) : s(static_cast<std::size_t>(seconds * kRate), 0.0) {}

  // Attack of 6 ms (no click), exponential decay, 15 ms release at the end.
  static double Envelope(double t, double length, double decay) {
    const double attack = std::min(1.0, t / 0.006);
    const double release = std::min(1.0, (length - t) / 0.015);
    return attack * std::max(0.0, release) * std::exp(-t / decay);
  }

  void Add(const Note& n) {
    const auto first = static_cast<std::size_t>(n.start * kRate);
    const auto count = static_cast<std::size_t>(n.length * kRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double glide = std::pow(n.glide, t / n.length);
      const double wobble = 1.0 + n.vibrato * std::sin(2.0 * kPi * 5.5 * t);
      phase += 2.0 * kPi * n.freq * glide * wobble / kRate;
      double v = 0.0;
      for (std::size_t h = 0; h < n.timbre->size(); ++h)
        v += (*n.timbre)[h] * std::sin(phase * static_cast<double>(h + 1));
      s[first + i] += n.amp * Envelope(t, n.length, n.decay) * v;
    }
  }

  // Low-passed white noise from a fixed generator: the same every run.
  void AddNoise(double start, double length, double amp, double decay, double smoothing) {
    std::uint32_t seed = 12345;
    double low = 0.0;
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
      low += (white - low) * smoothing;
      const double t = static_cast<double>(i) / kRate;
      s[first + i] += amp * Envelope(t, length, decay) * low;
    }
  }

  // Scaled so that the loudest sample stands at `peak` of full scale.
  std::vector<std::int16_t> Samples(double peak) const {
    double most = 0.0;
    for (double v : s) most = std::max(most, std::fabs(v));
    const double gain = most > 0.0 ? peak / most : 0.0;
    std::vector<std::int16_t> out;
    out.reserve(s.size());
    for (double v : s) out.push_back(static_cast<std::int16_t>(std::lround(v * gain * 32767.0)));
    return out;
  }
};

// Equal-tempered pitch: n semitones from A4.
double Pitch(int n) { return 440.0 * std::pow(2.0, n / 12.0); }
constexpr int C4 = -9, Eb4 = -6, G4 = -2, C5 = 3, E5 = 7, G5 = 10, A5 = 12, B5 = 14,
              C6 = 15, D6 = 17, E6 = 19, G6 = 22, G3 = -14, C3 = -21;

// The check sound: a two-note chime, bright and clear, under half a second.
std::vector<std::int16_t> Thx() {
  Mix m(0.45);
  m.Add({0.0, 0.45, Pitch(C6), 1.0, &kBell, 0.12});
  m.Add({0.09, 0.36, Pitch(G6), 0.9, &kBell, 0.10});
  return m.Samples(0.6);
}

// The intro: a rising major arpeggio that lands on a held chord.
std::vector<std::int16_t> Startup() {
  Mix m(1.4);
  const int run[] = {C5, E5, G5, C6};
  for (int k = 0; k < 4; ++k) m.Add({0.1 * k, 0.3, Pitch(run[k]), 0.8, &kOrgan, 0.15});
  for (int p : {C5, E5, G5, C6})
    m.Add({0.45, 0.95, Pitch(p), 0.45, &kOrgan, 0.45, 1.0, 0.004});
  return m.Samples(0.7);
}

// The instructions screen: two soft blips, a question waiting for a key.
std::vector<std::int16_t> AnyKey() {
  Mix m(0.35);
  m.Add({0.0, 0.1, Pitch(A5), 1.0, &kSoft, 0.05});
  m.Add({0.12, 0.23, Pitch(E6), 1.0, &kSoft, 0.07});
  return m.Samples(0.55);
}

// A removed row: a quick upward flourish, short enough to be heard four
// times in a row.
std::vector<std::int16_t> Wohoo() {
  Mix m(0.22);
  const int run[] = {G5, B5, D6};
  for (int k = 0; k < 3; ++k) m.Add({0.045 * k, 0.08, Pitch(run[k]), 0.8, &kTriangle, 0.06, 1.03});
  m.Add({0.135, 0.085, Pitch(G6), 1.0, &kTriangle, 0.05, 1.02});
  return m.Samples(0.65);
}

// Game over: a crash of noise, a falling minor arpeggio and a low, sinking
// "wah" to close.
std::vector<std::int16_t> GameOver() {
  Mix m(1.6);
  m.AddNoise(0.0, 0.45, 0.9, 0.12, 0.25);
  const int run[] = {G4, Eb4, C4};
  for (int k = 0; k < 3; ++k) m.Add({0.05 + 0.22 * k, 0.3, Pitch(run[k]), 0.7, &kReed, 0.2});
  m.Add({0.72, 0.88, Pitch(G3), 0.8, &kReed, 0.5, 0.94, 0.02});
  m.Add({0.72, 0.88, Pitch(C3), 0.5, &kReed, 0.5, 0.94, 0.02});
  return m.Samples(0.7);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  struct {
    const char* name;
    std::vector<std::int16_t> (*make)();
  } const sounds[] = {{"thx.wav", Thx},     {"startup.wav", Startup},    {"any_key.wav", AnyKey},
                      {"wohoo.wav", Wohoo}, {"game_over.wav", GameOver}};
  for (const auto& s : sounds) {
    const std::string path = folder + "/" + s.name;
    if (!WaveFile::WriteMono16(path, s.make(), static_cast<std::uint32_t>(kRate))) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
      return 1;
    }
  }
  return 0;
}
