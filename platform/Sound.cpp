// Sound over SDL2 audio: one queued-audio device (22,050 Hz, 16-bit mono),
// wave files loaded with SDL_LoadWAV and converted once, played by replacing
// what is queued. Only the audio subsystem is started and stopped here: the
// graphics window uses SDL video from another thread of the same process.
#include "platform/Sound.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace Platform {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 22050;
constexpr Uint16 kBufferFrames = 512;  // about 23 ms: a new sound starts within that
constexpr std::size_t kCacheSize = 16; // the game has five sounds

std::mutex soundLock;          // one request at a time; guards everything below
bool openTried = false;        // the device is opened once, never retried
bool audioStarted = false;     // SDL's audio subsystem, up even when no device opened
SDL_AudioDeviceID device = 0;  // 0: no device
SDL_AudioSpec deviceSpec{};
std::unordered_map<std::string, std::vector<Uint8>> decoded;  // by the name asked for

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

bool OpenDevice() {
  openTried = true;
  // No card and no sound server: don't start SDL's audio at all. Its ALSA
  // driver would keep a hot-plug thread polling /dev/snd ten times a second
  // for the whole run, and a device that appears later is never opened anyway.
  if (!SoundRouteExists()) return false;
  SilenceAlsa();
  // Else SDL turns Ctrl+C into a quit event that nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  audioStarted = true;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = kBufferFrames;
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &deviceSpec, 0);
  // On failure the subsystem stays up until CloseSound: stopping SDL's ALSA
  // driver waits for its hot-plug thread, up to 100 ms at start-up for nothing.
  if (device == 0) return false;
  SDL_PauseAudioDevice(device, 0);  // from now on an empty queue plays silence
  return true;
}

// The wave file's samples in the device's format; nullptr when the file is
// missing or is no wave file SDL can read (not remembered: it may appear).
const std::vector<Uint8>* Decoded(std::string_view name) {
  const std::string key(name);
  if (auto hit = decoded.find(key); hit != decoded.end()) return &hit->second;
  const std::string path = FindSoundFile(name);
  if (path.empty()) return nullptr;
  SDL_AudioSpec spec;
  Uint8* wave = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(path.c_str(), &spec, &wave, &length) == nullptr) return nullptr;
  // One conversion of the whole file (SDL_AudioStream's flush drops the
  // resampler's last few hundred frames).
  SDL_AudioCVT cvt;
  bool ok = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, deviceSpec.format,
                              deviceSpec.channels, deviceSpec.freq) >= 0;
  std::vector<Uint8> samples;
  if (ok) {
    samples.resize(std::size_t{length} * static_cast<std::size_t>(cvt.len_mult));
    std::copy_n(wave, length, samples.begin());
    cvt.buf = samples.data();
    cvt.len = static_cast<int>(length);
    ok = SDL_ConvertAudio(&cvt) == 0;
    samples.resize(ok ? static_cast<std::size_t>(cvt.len_cvt) : 0);
  }
  SDL_FreeWAV(wave);
  if (!ok) return nullptr;
  if (decoded.size() >= kCacheSize) decoded.clear();
  return &decoded.emplace(key, std::move(samples)).first->second;
}

std::chrono::milliseconds Duration(std::size_t bytes) {
  const std::size_t perSecond = static_cast<std::size_t>(deviceSpec.freq) * deviceSpec.channels *
                                (SDL_AUDIO_BITSIZE(deviceSpec.format) / 8);
  return std::chrono::milliseconds(bytes * 1000 / perSecond);
}

// Sleeps while the queue drains, for about as long as what is left to play,
// then one device buffer more: the last piece taken from the queue is still
// being played when the queue reads empty. False if the device stalls.
bool WaitUntilPlayed(std::size_t bytes) {
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + Duration(bytes) + seconds(2);
  for (;;) {
    const Uint32 queued = SDL_GetQueuedAudioSize(device);
    if (queued == 0) break;
    if (steady_clock::now() > deadline) {
      SDL_ClearQueuedAudio(device);
      return false;
    }
    std::this_thread::sleep_for(std::clamp(Duration(queued), milliseconds(1), milliseconds(100)));
  }
  std::this_thread::sleep_for(Duration(std::size_t{deviceSpec.size}) + milliseconds(1));
  return true;
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
  std::lock_guard lock(soundLock);
  if (!openTried) OpenDevice();
  if (device == 0) return 0;
  if (name.empty()) {
    SDL_ClearQueuedAudio(device);
    return 1;
  }
  const std::vector<Uint8>* samples = Decoded(name);
  if (samples == nullptr) return 0;
  SDL_ClearQueuedAudio(device);
  if (!samples->empty() &&
      SDL_QueueAudio(device, samples->data(), static_cast<Uint32>(samples->size())) != 0)
    return 0;
  if (flags & SND_ASYNC) return 1;
  return WaitUntilPlayed(samples->size()) ? 1 : 0;
}

void CloseSound() {
  std::lock_guard lock(soundLock);
  if (device != 0) SDL_CloseAudioDevice(device);
  if (audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device = 0;
  audioStarted = false;
  decoded.clear();
  openTried = false;
}

}  // namespace Platform
