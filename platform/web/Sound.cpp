// Sound in the browser, through the page's Web Audio context (made and
// resumed by the page in the click on Start, since browsers let a page
// sound only after a gesture). Wave files are read from the program's file
// system (the page preloads sounds/ into /sounds), decoded here by
// WaveFile, and handed once to the page as an AudioBuffer kept by name; a
// request then only starts that buffer, the sound before it fading out over
// 4 ms as in the window's build. Each request waits for the browser's main
// thread only as long as the page takes to start a buffer.
#include "platform/Sound.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "sounds/WaveFile.h"

namespace Platform {
namespace {

constexpr const char* kFolder = "/sounds";  // where the page puts the program's sounds
constexpr std::size_t kCacheSize = 16;       // the game has five sounds

struct Decoded {
  int buffer = 0;  // the page's number for it
  std::uint32_t ms = 0;
};

struct State {
  std::mutex lock;  // one request at a time
  std::unordered_map<std::string, Decoded> decoded;  // by the name asked for
};

State& S() {
  static State* state = new State;  // never destroyed: requests may come until _exit
  return *state;
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  std::uint8_t chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + n);
    // As in the window's build, too large a file is not read whole.
    if (bytes.size() > kMaxSoundFileBytes) {
      bytes.clear();
      break;
    }
  }
  std::fclose(f);
  return bytes;
}

// The samples as the page takes them: one run of floats per channel.
std::vector<float> Planar(const WaveFile::Pcm& pcm, std::size_t frames) {
  std::vector<float> out(frames * pcm.channels);
  const std::size_t width = pcm.bits / 8;
  for (std::size_t f = 0; f < frames; ++f) {
    for (std::size_t c = 0; c < pcm.channels; ++c) {
      const std::uint8_t* s = pcm.data.data() + (f * pcm.channels + c) * width;
      const float v = width == 1 ? (s[0] - 128) / 128.0f : static_cast<std::int16_t>(s[0] | s[1] << 8) / 32768.0f;
      out[c * frames + f] = v;
    }
  }
  return out;
}

// The page's buffer for the wave file `name`; nothing when the file is
// missing, is no wave file we read, is too long for a sound event, or the
// page cannot make a buffer (no sound there). A failure is not remembered:
// the file or the page may change.
bool Decode(State& s, std::string_view name, Decoded& out) {
  const std::string key(name);
  if (auto hit = s.decoded.find(key); hit != s.decoded.end()) {
    out = hit->second;
    return true;
  }
  const std::string path = FindSoundFile(name);
  if (path.empty()) return false;
  const std::vector<std::uint8_t> bytes = ReadFile(path);
  WaveFile::Pcm pcm;
  if (!WaveFile::Parse(bytes, pcm)) return false;
  const std::size_t frames = pcm.data.size() / (std::size_t{pcm.channels} * (pcm.bits / 8));
  if (frames > std::size_t{pcm.rate} * kMaxSoundSeconds) return false;
  const std::vector<float> samples = Planar(pcm, frames);
  const int buffer = MAIN_THREAD_EM_ASM_INT(
      { return stackfallPage.makeSound(HEAPF32.subarray($0 >> 2, ($0 >> 2) + $1 * $2), $1, $2, $3); },
      samples.data(), pcm.channels, frames, pcm.rate);
  if (buffer == 0) return false;
  if (s.decoded.size() >= kCacheSize) {
    s.decoded.clear();
    MAIN_THREAD_EM_ASM({ stackfallPage.forgetSounds(); });
  }
  out = {buffer, static_cast<std::uint32_t>(frames * 1000 / pcm.rate)};
  s.decoded.emplace(key, out);
  return true;
}

}  // namespace

bool SoundRouteExists() {
  return MAIN_THREAD_EM_ASM_INT({ return typeof stackfallPage != 'undefined' && stackfallPage.canSound() ? 1 : 0; });
}

std::string FindSoundFile(std::string_view name) {
  if (name.empty()) return {};
  const std::string asked(name);
  if (IsFile(asked)) return asked;
  if (asked.find('/') != std::string::npos) return {};  // a name with a folder is looked for there only
  const std::string inFolder = std::string(kFolder) + "/" + asked;
  return IsFile(inFolder) ? inFolder : std::string();
}

std::string SoundFolder() { return kFolder; }

std::int32_t PlaySound(std::string_view name, std::uint32_t flags) {
  State& s = S();
  std::lock_guard lock(s.lock);
  if (!SoundRouteExists()) return 0;
  Decoded sound;  // buffer 0: silence
  if (!name.empty() && !Decode(s, name, sound)) return 0;
  if (!MAIN_THREAD_EM_ASM_INT({ return stackfallPage.playSound($0) ? 1 : 0; }, sound.buffer)) return 0;
  if (sound.buffer == 0 || (flags & SND_ASYNC)) return 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(sound.ms));
  return 1;
}

void CloseSound() {
  State& s = S();
  std::lock_guard lock(s.lock);
  s.decoded.clear();
  MAIN_THREAD_EM_ASM({ if (typeof stackfallPage != 'undefined') stackfallPage.forgetSounds(); });
}

}  // namespace Platform
