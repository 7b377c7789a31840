// PlaySound on real SDL audio drivers: "disk" writes every sample the device
// plays into a file, so what reached the output can be read back; a driver
// name that does not exist stands for a machine without a sound card.
// Assertions are on samples, never on wall-clock time.
#include "platform/Sound.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "console/IO.h"
#include "sound/StandardSound.h"
#include "sounds/WaveFile.h"
#include "tests/support/Samples.h"
#include "tests/support/SoundConsole.h"

namespace fs = std::filesystem;
using namespace Platform;

namespace {

constexpr std::uint32_t kAsync = SND_FILENAME | SND_ASYNC;
constexpr std::uint32_t kSync = SND_FILENAME | SND_SYNC;
constexpr int kRate = 22050;

using Samples::Find;
using Samples::Ramp;

std::size_t CountInRange(const std::vector<std::int16_t>& s, int low) {
  return std::count_if(s.begin(), s.end(), [low](std::int16_t v) { return v >= low && v < low + 1000; });
}

class SoundDeviceTest : public ::testing::Test {
 protected:
  fs::path dir;
  fs::path output;

  void SetUp() override {
    CloseSound();
    dir = fs::temp_directory_path() /
          ("stackfall_sound_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    output = dir / "device.raw";
  }
  void TearDown() override {
    CloseSound();
    ::unsetenv("SDL_AUDIODRIVER");
    ::unsetenv("SDL_DISKAUDIOFILE");
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void UseDiskDriver() {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  }

  std::string Wave(const std::string& name, const std::vector<std::int16_t>& samples) {
    const std::string path = (dir / name).string();
    EXPECT_TRUE(WaveFile::WriteMono16(path, samples, kRate));
    return path;
  }

  std::vector<std::int16_t> Written() const {
    return WaveFile::Samples16(WaveFile::ReadBytes(output.string()));
  }

  // Polls what the device wrote until `done` holds; generous deadline.
  std::vector<std::int16_t> WaitForOutput(
      const std::function<bool(const std::vector<std::int16_t>&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::vector<std::int16_t> s = Written();
    while (!done(s) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      s = Written();
    }
    return s;
  }
};

TEST_F(SoundDeviceTest, AsynchronousSoundReachesTheOutputWhole) {
  UseDiskDriver();
  const auto sound = Ramp(4000, 1000);
  const std::string path = Wave("ramp.wav", sound);
  EXPECT_NE(PlaySound(path, kAsync), 0);
  const auto out = WaitForOutput([&](auto& s) { return Find(s, sound) != std::string::npos; });
  EXPECT_NE(Find(out, sound), std::string::npos);
}

TEST_F(SoundDeviceTest, ANewAsynchronousSoundCutsThePreviousOne) {
  UseDiskDriver();
  const auto first = Ramp(3 * kRate, 1000);  // three seconds
  const auto second = Ramp(kRate / 5, -3000);
  const std::string firstPath = Wave("first.wav", first);
  const std::string secondPath = Wave("second.wav", second);
  ASSERT_NE(PlaySound(firstPath, kAsync), 0);
  ASSERT_NE(PlaySound(secondPath, kAsync), 0);
  // From 10 ms on: where the first was being heard, it fades out over the
  // second's start, and the second fades in.
  const std::vector<std::int16_t> secondOn(second.begin() + kRate / 100, second.end());
  auto out = WaitForOutput([&](auto& s) { return Find(s, secondOn) != std::string::npos; });
  CloseSound();
  out = Written();
  const std::size_t secondAt = Find(out, secondOn);
  ASSERT_NE(secondAt, std::string::npos);
  EXPECT_LT(CountInRange(out, 1000), first.size() / 2);
  const std::vector<std::int16_t> after(out.begin() + std::ptrdiff_t(secondAt), out.end());
  EXPECT_EQ(CountInRange(after, 1000), 0u) << "the first sound went on after the second";
}

TEST_F(SoundDeviceTest, SynchronousPlayReturnsOnlyWhenEverySampleWasPlayed) {
  UseDiskDriver();
  const auto sound = Ramp(kRate / 2, 2000);
  const std::string path = Wave("sync.wav", sound);
  EXPECT_NE(PlaySound(path, kSync), 0);
  CloseSound();  // drops whatever was still queued
  const auto out = Written();
  EXPECT_NE(Find(out, sound), std::string::npos);
  EXPECT_EQ(CountInRange(out, 2000), sound.size());
}

TEST_F(SoundDeviceTest, OtherWaveFormatsAreConvertedToTheDevicesFormat) {
  UseDiskDriver();
  // Half a second of a 441 Hz tone, 8-bit stereo at 44,100 Hz.
  std::vector<std::uint8_t> frames;
  for (int i = 0; i < 44100 / 2; ++i) {
    const auto v = static_cast<std::uint8_t>(128 + (i % 100 < 50 ? 100 : -100));
    frames.push_back(v);
    frames.push_back(v);
  }
  const std::vector<std::uint8_t> file = WaveFile::Encode(frames, 44100, 2, 8);
  const std::string path = (dir / "stereo8.wav").string();
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  EXPECT_NE(PlaySound(path, kSync), 0);
  CloseSound();
  const auto out = Written();
  auto loud = [](std::int16_t v) { return v > 8000 || v < -8000; };
  const auto first = std::find_if(out.begin(), out.end(), loud);
  const auto last = std::find_if(out.rbegin(), out.rend(), loud);
  ASSERT_NE(first, out.end());
  const auto span = (out.rend() - last) - (first - out.begin());
  EXPECT_NEAR(double(span), kRate / 2.0, 60.0);  // the same half second at 22,050 Hz
}

TEST_F(SoundDeviceTest, EmptyNameStopsTheSoundAndAnswersNonzero) {
  UseDiskDriver();
  const auto sound = Ramp(3 * kRate, 1000);
  ASSERT_NE(PlaySound(Wave("long.wav", sound), kAsync), 0);
  WaitForOutput([](auto& s) { return CountInRange(s, 1000) > 0; });
  EXPECT_NE(PlaySound("", 0), 0);
  const std::size_t atStop = Written().size();
  WaitForOutput([&](auto& s) { return s.size() > atStop + kRate / 2; });  // half a second more
  CloseSound();
  EXPECT_LT(CountInRange(Written(), 1000), sound.size() / 2);
}

// Missing and broken files: tests/faults/SoundFaultsTest.cpp.

TEST_F(SoundDeviceTest, WithoutADeviceEveryCallAnswersZeroAndTheNextRequestTriesAgain) {
  ::setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
  const std::string path = Wave("any.wav", Ramp(100, 0));
  EXPECT_EQ(PlaySound(path, kAsync), 0);
  EXPECT_EQ(PlaySound(path, kSync), 0);
  EXPECT_EQ(PlaySound("", 0), 0);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // a device to be had from now on
  EXPECT_NE(PlaySound(path, kAsync), 0) << "the open was not tried again";
}

std::size_t ThreadCount() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& task : fs::directory_iterator("/proc/self/task")) ++n;
  return n;
}

TEST_F(SoundDeviceTest, WithNoCardAndNoSoundServerSdlAudioIsNotStarted) {
  if (fs::exists("/dev/snd") || fs::exists("/dev/dsp") || fs::exists("/run/pulse/native") ||
      fs::exists("/var/run/pulse/native"))
    GTEST_SKIP() << "this machine has a sound card or a system sound server";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedRuntime = runtime ? runtime : "";
  ::unsetenv("SDL_AUDIODRIVER");
  ::unsetenv("PULSE_SERVER");
  ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  EXPECT_FALSE(SoundRouteExists());
  const std::string path = Wave("any.wav", Ramp(100, 0));
  const std::size_t threads = ThreadCount();
  EXPECT_EQ(PlaySound(path, kAsync), 0);
  EXPECT_EQ(PlaySound("", 0), 0);
  EXPECT_EQ(ThreadCount(), threads) << "SDL's audio started a thread of its own";
  // A sound server's socket, or a driver asked for by name, is reason to try.
  fs::create_directories(dir / "pulse");
  std::FILE* socket = std::fopen((dir / "pulse" / "native").c_str(), "w");
  ASSERT_NE(socket, nullptr);
  std::fclose(socket);
  EXPECT_TRUE(SoundRouteExists());
  fs::remove(dir / "pulse" / "native");
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_TRUE(SoundRouteExists());
  if (runtime) {
    ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }
}

TEST_F(SoundDeviceTest, CtrlCStaysWithTheProgram) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_NE(PlaySound("", 0), 0);  // the device is open
  struct sigaction action {};
  ASSERT_EQ(::sigaction(SIGINT, nullptr, &action), 0);
  EXPECT_EQ(action.sa_handler, SIG_DFL) << "SDL took SIGINT over";
}

TEST_F(SoundDeviceTest, NoAlsaComplaintsOnStderr) {
  ::setenv("SDL_AUDIODRIVER", "alsa", 1);
  const std::string captured = (dir / "stderr.txt").string();
  std::fflush(stderr);
  const int saved = ::dup(2);
  const int file = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  ::dup2(file, 2);
  const auto start = std::chrono::steady_clock::now();
  PlaySound(Wave("any.wav", Ramp(100, 0)), kAsync);  // fails without a card; plays with one
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  std::fflush(stderr);
  ::dup2(saved, 2);
  ::close(saved);
  ::close(file);
  std::printf("open through ALSA: %.3f ms\n", took.count());
  const auto bytes = WaveFile::ReadBytes(captured);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("ALSA lib"), std::string::npos);
}

TEST_F(SoundDeviceTest, BareNamesAreFoundInTheWorkingDirectoryThenInTheSoundsFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(FindSoundFile("thx.wav"), (fs::path(SoundFolder()) / "thx.wav").string());
  Wave("thx.wav", Ramp(10, 0));
  EXPECT_EQ(FindSoundFile("thx.wav"), "thx.wav");
  EXPECT_EQ(FindSoundFile("missing.wav"), "");
  EXPECT_EQ(FindSoundFile("elsewhere/wohoo.wav"), "") << "a name with a folder is not searched for";
  EXPECT_EQ(FindSoundFile(""), "");
  fs::current_path(before);
  for (const char* name : {"thx.wav", "startup.wav", "any_key.wav", "wohoo.wav", "game_over.wav"})
    EXPECT_TRUE(fs::is_regular_file(fs::path(SoundFolder()) / name)) << name;
}

// The module on a real device: the check, then an event's samples.
class StandardSoundDeviceTest : public SoundDeviceTest, protected SoundTest::SoundConsole {
 protected:
  void SetUp() override {
    SoundDeviceTest::SetUp();
    Start();
  }
  void TearDown() override {
    Stop();
    SoundDeviceTest::TearDown();
  }
};

TEST_F(StandardSoundDeviceTest, CheckSucceedsAndARemovedRowIsHeard) {
  UseDiskDriver();
  ASSERT_TRUE(StandardSound::InitSound(true));
  EXPECT_NE(console.find("Sound works fine!\n"), std::string::npos);
  // The check sound heard to its end: cut short, it would fade out over the
  // row sound's start.
  const auto thx = WaveFile::ReadMono16((fs::path(SoundFolder()) / "thx.wav").string());
  WaitForOutput([&](auto& s) { return Find(s, thx) != std::string::npos; });
  const auto wohoo = WaveFile::ReadMono16((fs::path(SoundFolder()) / "wohoo.wav").string());
  ASSERT_GT(wohoo.size(), 1000u);
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  const auto out = WaitForOutput([&](auto& s) { return Find(s, wohoo) != std::string::npos; });
  EXPECT_NE(Find(out, wohoo), std::string::npos);
  StandardSound::PlaySoundEvent(StandardSound::EXPLODE);  // stops, and is no error
  EXPECT_EQ(console.find("ERROR"), std::string::npos);
}

TEST_F(StandardSoundDeviceTest, WithoutADeviceTheCheckFailsCleanly) {
  ::setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
  EXPECT_FALSE(StandardSound::InitSound(true));
  EXPECT_EQ(console,
            "\nYou should here sound now, this to check whether sound works on your system...\n\n"
            "Sound can NOT be used on your system!\nAll sound events will be desactivated.\n\n");
  console.clear();
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  StandardSound::PlaySoundEvent(StandardSound::EXPLODE);
  EXPECT_EQ(console, "");
}

}  // namespace
