// Sound over SDL2 audio: one device (22,050 Hz, 16-bit mono) fed by our own
// callback, which plays one sound at a time; wave files loaded with
// SDL_LoadWAV and converted once. A new sound replaces the one playing
// without a click: what was being heard fades out over a few milliseconds
// while the new one starts. Once the sound is over and all is quiet for a
// moment, the device is closed, so that the sound server stops mixing our
// silence; the next request opens it again. A device lost meanwhile (the
// sound server went away) is noticed at the next request, which opens one
// afresh. Only SDL's audio is started and stopped here: the graphics window
// uses SDL video from another thread of the same process.
#include "platform/Sound.h"

#include "platform/SdlStart.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace Platform {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Samples = std::vector<std::int16_t>;

constexpr int kRate = 22050;
constexpr Uint16 kBufferFrames = 512;  // about 23 ms: a new sound starts within that
constexpr std::size_t kCacheSize = 16; // the game has five sounds
constexpr std::size_t kFade = 88;      // 4 ms: too short to be heard as a fade
constexpr int kAbruptStart = 512;      // a first sample further from silence is mid-waveform
constexpr auto kRestAfter = std::chrono::milliseconds(500);  // this long quiet, the device closes

std::chrono::milliseconds Duration(std::size_t samples) {
  return std::chrono::milliseconds(samples * 1000 / kRate);
}

// ---------------------------------------------------------------- mixing

// What the device plays: one sound from its start, and what is left of the
// sound it cut, fading out. The audio thread's callback and the requests
// share it under the device's own lock.
struct Mix {
  std::shared_ptr<const Samples> sound;   // nullptr: silence
  std::size_t at = 0;                     // the next sample of `sound` to play
  bool fadeIn = false;                    // `sound` starts mid-waveform: its first kFade samples fade in
  std::array<std::int16_t, kFade> tail{}; // the cut sound's next samples, faded out
  std::size_t tailAt = kFade;             // the next sample of `tail`; kFade: none left
};

std::int16_t Clamp16(std::int32_t v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

// SDL's audio callback: the next `len` bytes of the mix.
void Fill(void* userdata, Uint8* stream, int len) {
  Mix& mix = *static_cast<Mix*>(userdata);
  const std::size_t count = static_cast<std::size_t>(len) / sizeof(std::int16_t);
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t v = 0;
    if (mix.sound && mix.at < mix.sound->size()) {
      v = (*mix.sound)[mix.at];
      if (mix.fadeIn && mix.at < kFade) v = v * std::int32_t(mix.at + 1) / std::int32_t(kFade + 1);
      ++mix.at;
    }
    if (mix.tailAt < kFade) v += mix.tail[mix.tailAt++];
    const std::int16_t out = Clamp16(v);
    std::memcpy(stream + i * sizeof out, &out, sizeof out);
  }
}

// Mended: a sound cut off where it stood clicked. Plays `sound` (nullptr:
// silence) from its first sample, at once; the sound being heard fades out
// over the new sound's start for kFade samples, and a new sound that starts
// mid-waveform fades in. A sound not begun yet was never heard and goes
// whole; a sound that starts after silence plays as it is.
void Start(Mix& mix, std::shared_ptr<const Samples> sound) {
  const bool heard = mix.sound && mix.at > 0 && mix.at < mix.sound->size();
  std::array<std::int32_t, kFade> tail{};
  for (std::size_t i = 0; mix.tailAt + i < kFade; ++i) tail[i] = mix.tail[mix.tailAt + i];
  if (heard)
    for (std::size_t i = 0; i < kFade && mix.at + i < mix.sound->size(); ++i)
      tail[i] += (*mix.sound)[mix.at + i] * std::int32_t(kFade - i) / std::int32_t(kFade + 1);
  std::transform(tail.begin(), tail.end(), mix.tail.begin(), Clamp16);
  mix.tailAt = heard || mix.tailAt < kFade ? 0 : kFade;
  mix.fadeIn = mix.tailAt == 0 && sound && !sound->empty() && std::abs((*sound)[0]) > kAbruptStart;
  mix.sound = std::move(sound);
  mix.at = 0;
}

// Samples still to play.
std::size_t Remaining(const Mix& mix) {
  return (mix.sound ? mix.sound->size() - mix.at : 0) + (kFade - mix.tailAt);
}

// ---------------------------------------------------------------- state

struct State {
  std::mutex lock;  // one request at a time; guards all here (`mix` too while no device is open)
  std::condition_variable restWake;  // a device opened, or a new rest time
  SDL_AudioDeviceID device = 0;      // 0: closed (not opened yet, resting, or lost)
  Clock::time_point restAt;          // when the open device may close
  bool restKeeperStarted = false;
  Mix mix;
  std::unordered_map<std::string, std::shared_ptr<const Samples>> decoded;  // by the name asked for
};

// Never destroyed: the rest keeper waits on it as long as the process lives.
State& S() {
  static State* state = new State;
  return *state;
}

// ALSA prints "cannot find card" and friends straight to stderr when there
// is no sound card. We tell the player ourselves, so its handler is silenced.
// Reached through dlopen: no build dependency, and nothing to do without it.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (setHandler != nullptr) setHandler(QuietAlsa);
  // Not closed: the handler must stay in place for every later ALSA call.
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

}  // namespace

bool SoundRouteExists() {
  if (const char* driver = std::getenv("SDL_AUDIODRIVER"); driver != nullptr && *driver != '\0') return true;
  if (std::getenv("PULSE_SERVER") != nullptr) return true;
  // Sound cards (ALSA, OSS), then the sound servers' sockets.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev/snd", ec)) {
    if (entry.path().filename().string().rfind("pcm", 0) == 0) return true;
  }
  if (Exists("/dev/dsp")) return true;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
    const fs::path dir(runtime);
    if (Exists(dir / "pulse" / "native") || Exists(dir / "pipewire-0")) return true;
  }
  return Exists("/run/pulse/native") || Exists("/var/run/pulse/native");
}

namespace {

// ---------------------------------------------------------------- the device

void KeepRest(State& s);

// Starts SDL's audio and opens the device, playing silence at once. One
// attempt: on failure SDL's audio is stopped again, so that the next attempt
// starts afresh and finds a sound server that has come back.
bool OpenDevice(State& s) {
  // No card and no sound server: don't start SDL's audio at all. Its ALSA
  // driver would keep a hot-plug thread polling /dev/snd ten times a second.
  if (!SoundRouteExists()) return false;
  SilenceAlsa();
  // SDL_AudioInit, not SDL_InitSubSystem: the subsystem counts are not safe
  // against the window thread starting and stopping video meanwhile, and the
  // audio driver is all we need. It reads SDL_AUDIODRIVER as SDL_Init does,
  // and SDL's hints, which another thread may be setting: under the lock.
  std::unique_lock sdl(SdlStartLock());
  if (SDL_AudioInit(nullptr) != 0) return false;
  s.mix = Mix{};
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = kBufferFrames;
  want.callback = Fill;
  want.userdata = &s.mix;
  SDL_AudioSpec have{};
  s.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // no changes allowed: SDL converts
  if (s.device == 0) {
    SDL_AudioQuit();
    return false;
  }
  sdl.unlock();
  SDL_PauseAudioDevice(s.device, 0);
  if (!s.restKeeperStarted) {
    s.restKeeperStarted = true;
    std::thread(KeepRest, std::ref(s)).detach();
  }
  return true;
}

// Closes the device and stops SDL's audio; what was playing goes.
void CloseDevice(State& s) {
  if (s.device == 0) return;
  SDL_CloseAudioDevice(s.device);
  {
    std::lock_guard sdl(SdlStartLock());
    SDL_AudioQuit();
  }
  s.device = 0;
  s.mix = Mix{};
}

// The device stopped for good: SDL lost its connection to the sound server,
// or the card went.
bool Lost(State& s) { return SDL_GetAudioDeviceStatus(s.device) == SDL_AUDIO_STOPPED; }

std::size_t RemainingSamples(State& s) {
  SDL_LockAudioDevice(s.device);
  const std::size_t left = Remaining(s.mix);
  SDL_UnlockAudioDevice(s.device);
  return left;
}

// Mended: the device played silence for the whole run. The rest keeper's
// thread closes it once the sound is over and all has been quiet for
// kRestAfter, so that the sound server stops mixing our silence (and may
// suspend its card) while the game plays on; the next request opens it
// again. A sound still playing when its time comes (a slow server) gets the
// time it still needs; a lost device is closed too.
void KeepRest(State& s) {
  pthread_setname_np(pthread_self(), "soundrest");
  std::unique_lock lock(s.lock);
  for (;;) {
    if (s.device == 0) {
      s.restWake.wait(lock);
    } else if (Clock::now() < s.restAt) {
      s.restWake.wait_until(lock, s.restAt);
    } else if (const std::size_t left = Lost(s) ? 0 : RemainingSamples(s); left == 0) {
      CloseDevice(s);
    } else {
      s.restAt = Clock::now() + Duration(left) + kRestAfter;
    }
  }
}

// Sleeps while the sound plays, for about as long as what is left of it,
// then one device buffer more: the last buffer taken is still being played
// when nothing is left. False if the device is lost or stalls.
bool WaitUntilPlayed(State& s, std::size_t samples) {
  using namespace std::chrono;
  const auto deadline = Clock::now() + Duration(samples) + seconds(2);
  for (std::size_t left; (left = RemainingSamples(s)) > 0;) {
    if (Lost(s)) return false;
    if (Clock::now() > deadline) {
      SDL_LockAudioDevice(s.device);
      Start(s.mix, nullptr);
      SDL_UnlockAudioDevice(s.device);
      return false;
    }
    std::this_thread::sleep_for(std::clamp(Duration(left), milliseconds(1), milliseconds(100)));
  }
  std::this_thread::sleep_for(Duration(kBufferFrames) + milliseconds(1));
  return true;
}

// ---------------------------------------------------------------- wave files

// `length` bytes of `spec`'s samples as the device's; nullptr when SDL cannot
// convert them or they last longer than a sound event may. Only the result is
// kept: the conversion's work buffer goes when this returns.
std::shared_ptr<const Samples> Converted(const SDL_AudioSpec& spec, const Uint8* wave, Uint32 length) {
  const std::uint64_t perSecond = std::uint64_t(spec.freq) * spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
  if (perSecond == 0 || length > perSecond * kMaxSoundSeconds) return nullptr;
  // One conversion of the whole file (SDL_AudioStream's flush drops the
  // resampler's last few hundred frames).
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate) < 0) return nullptr;
  std::vector<Uint8> work(std::size_t{length} * static_cast<std::size_t>(cvt.len_mult));
  std::copy_n(wave, length, work.begin());
  cvt.buf = work.data();
  cvt.len = static_cast<int>(length);
  if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
  auto samples = std::make_shared<Samples>(static_cast<std::size_t>(cvt.len_cvt) / sizeof(std::int16_t));
  std::memcpy(samples->data(), work.data(), samples->size() * sizeof(std::int16_t));
  return samples;
}

// The wave file's samples in the device's format; nullptr when the file is
// missing, is no wave file SDL can read, or is too large for a sound event
// (not remembered: it may change).
std::shared_ptr<const Samples> Decoded(State& s, std::string_view name) {
  const std::string key(name);
  if (auto hit = s.decoded.find(key); hit != s.decoded.end()) return hit->second;
  const std::string path = FindSoundFile(name);
  if (path.empty()) return nullptr;
  // Mended: a large file was read, converted and kept whole for the run (a
  // 60 MB file took 1.8 GB). Too large a file is not even read.
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxSoundFileBytes) return nullptr;
  SDL_AudioSpec spec;
  Uint8* wave = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(path.c_str(), &spec, &wave, &length) == nullptr) return nullptr;
  std::shared_ptr<const Samples> samples = Converted(spec, wave, length);
  SDL_FreeWAV(wave);
  if (!samples) return nullptr;
  if (s.decoded.size() >= kCacheSize) s.decoded.clear();
  s.decoded.emplace(key, samples);
  return samples;
}

std::vector<fs::path> ProgramSoundFolders() {
  std::vector<fs::path> folders;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    folders.push_back(exe.parent_path() / "sounds");
    // An installed game, wherever its prefix was put: bin/ beside share/.
    folders.push_back((exe.parent_path() / "../share/stackfall/sounds").lexically_normal());
  }
  folders.push_back(fs::path(STACKFALL_SOURCE_DIR) / "sounds");
  return folders;
}

}  // namespace

std::string FindSoundFile(std::string_view name) {
  std::error_code ec;
  const fs::path asked(name);
  if (name.empty()) return {};
  if (fs::is_regular_file(asked, ec)) return std::string(name);
  if (asked.has_parent_path()) return {};  // a name with a folder is looked for there only
  for (const fs::path& folder : ProgramSoundFolders())
    if (fs::is_regular_file(folder / asked, ec)) return (folder / asked).string();
  return {};
}

std::string SoundFolder() {
  const std::vector<fs::path> folders = ProgramSoundFolders();
  std::error_code ec;
  for (const fs::path& folder : folders)
    if (fs::is_directory(folder, ec)) return folder.string();
  return folders.front().string();
}

std::int32_t PlaySound(std::string_view name, std::uint32_t flags) {
  State& s = S();
  std::lock_guard lock(s.lock);
  std::shared_ptr<const Samples> sound;
  if (!name.empty() && !(sound = Decoded(s, name))) return 0;
  // Mended: a device lost since the last request (the sound server went
  // away) went on answering success for ever. It is closed, and a device
  // opened afresh: one attempt a request, so a server that comes back is
  // heard again.
  if (s.device != 0 && Lost(s)) CloseDevice(s);
  if (s.device == 0 && !OpenDevice(s)) return 0;
  SDL_LockAudioDevice(s.device);
  Start(s.mix, sound);
  SDL_UnlockAudioDevice(s.device);
  const std::size_t length = sound ? sound->size() : 0;
  s.restAt = Clock::now() + Duration(length) + kRestAfter;
  s.restWake.notify_one();
  if (!sound || (flags & SND_ASYNC)) return 1;
  return WaitUntilPlayed(s, length) ? 1 : 0;
}

void CloseSound() {
  State& s = S();
  std::lock_guard lock(s.lock);
  CloseDevice(s);
  s.decoded.clear();
}

}  // namespace Platform
