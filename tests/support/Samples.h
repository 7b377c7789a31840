// Samples: recognisable test sounds, and finding them again in what an audio
// device or a sound server's monitor received.
// Depends on: the standard library alone.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace Samples {

using Sound = std::vector<std::int16_t>;

// A sine of `hz` at `level` of full scale, 22,050 samples a second, starting
// at phase `phase` (radians: 0 starts at silence, pi/2 at its peak).
inline Sound Sine(std::size_t count, double hz, double level, double phase = 0) {
  Sound s(count);
  for (std::size_t i = 0; i < count; ++i)
    s[i] = static_cast<std::int16_t>(std::lround(32767 * level * std::sin(phase + 2 * M_PI * hz * double(i) / 22050)));
  return s;
}

// A recognisable sound: `count` samples cycling through [low, low + 999].
inline Sound Ramp(std::size_t count, int low) {
  Sound s(count);
  for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<std::int16_t>(low + int(i % 1000));
  return s;
}

// Position of `part` in `whole`, or npos.
inline std::size_t Find(const Sound& whole, const Sound& part) {
  const auto at = std::search(whole.begin(), whole.end(), part.begin(), part.end());
  return at == whole.end() ? std::string::npos : std::size_t(at - whole.begin());
}

// `s` without its exact zeros. A sound server that gets no samples in time
// plays silence and the rest later, so what it played is what we sent with
// runs of silence put in; without the zeros on both sides, the two compare.
inline Sound Unbroken(const Sound& s) {
  Sound out;
  std::copy_if(s.begin(), s.end(), std::back_inserter(out), [](std::int16_t v) { return v != 0; });
  return out;
}

// The largest difference between neighbouring samples, as a share of full
// scale (32,768).
inline double LargestStep(const Sound& s) {
  int step = 0;
  for (std::size_t i = 1; i < s.size(); ++i) step = std::max(step, std::abs(int(s[i]) - int(s[i - 1])));
  return step / 32768.0;
}

}  // namespace Samples
