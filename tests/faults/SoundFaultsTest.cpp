// Broken sound files and sounds folders: missing, empty, truncated and
// non-wave files, wave headers with impossible formats, a folder in place of
// a file, a file in place of the folder, FIFOs named like wave files (which
// must never be opened: opening one blocks until a writer comes), files far
// too large for a sound event (which must not fill memory). PlaySound
// answers 0 at once, StandardSound prints its error lines, and play goes
// on: the next good sound is heard (SDL's disk driver writes what it plays).
#include "platform/Sound.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
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

using Samples::Ramp;

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs `call`; should it block on a FIFO, a watchdog gives each FIFO a
// writer after 30 s, which releases the call, and the test fails. (The
// call stays on this thread: SDL keeps a little memory per thread that
// calls it, and threads made per call would leave it behind.)
template <class Call>
auto Within(const std::vector<fs::path>& fifos, Call call) {
  std::mutex lock;
  std::condition_variable finished;
  bool done = false, blocked = false;
  std::thread watchdog([&] {
    std::unique_lock l(lock);
    if (finished.wait_for(l, std::chrono::seconds(30), [&] { return done; })) return;
    blocked = true;
    for (const fs::path& fifo : fifos) ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  });
  const auto result = call();
  {
    std::lock_guard l(lock);
    done = true;
  }
  finished.notify_one();
  watchdog.join();
  EXPECT_FALSE(blocked) << "the call blocked";
  return result;
}

class SoundFaultsTest : public ::testing::Test {
 protected:
  fs::path dir;
  fs::path output;
  fs::path startDir;
  std::vector<fs::path> fifos;

  void SetUp() override {
    CloseSound();
    startDir = fs::current_path();
    // Short: the check sound's path must fit the module's 100 characters.
    static int made = 0;
    dir = fs::temp_directory_path() / ("sf" + std::to_string(::getpid()) + "_" + std::to_string(++made));
    fs::create_directories(dir);
    output = dir / "device.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  }
  void TearDown() override {
    CloseSound();
    fs::current_path(startDir);
    ::unsetenv("SDL_AUDIODRIVER");
    ::unsetenv("SDL_DISKAUDIOFILE");
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  fs::path Fifo(const fs::path& path) {
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    fifos.push_back(path);
    return path;
  }

  std::int32_t PlayWithin(const std::string& name, std::uint32_t flags) {
    return Within(fifos, [&] { return PlaySound(name, flags); });
  }

  // A good sound: what the device writes comes to hold it (the driver
  // writes its file as it plays; generous deadline). From 10 ms on: should
  // it cut the check sound, its start fades in.
  void ExpectAGoodSoundIsHeard() {
    const auto whole = Ramp(3000, 5000);
    const fs::path good = dir / "good.wav";
    ASSERT_TRUE(WaveFile::WriteMono16(good.string(), whole, 22050));
    const std::vector<std::int16_t> sound(whole.begin() + 220, whole.end());
    ASSERT_NE(PlayWithin(good.string(), kAsync), 0);
    auto heard = [&] {
      const auto written = WaveFile::Samples16(WaveFile::ReadBytes(output.string()));
      return std::search(written.begin(), written.end(), sound.begin(), sound.end()) != written.end();
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!heard() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(heard()) << "the good sound did not reach the device";
  }
};

TEST_F(SoundFaultsTest, MissingOrBrokenFilesAnswerZeroAndTheNextSoundPlays) {
  EXPECT_EQ(PlayWithin((dir / "no_such.wav").string(), kAsync), 0);
  EXPECT_EQ(PlayWithin("no_such_sound_here.wav", kAsync), 0);  // a bare name found nowhere
  const auto data = WaveFile::Bytes(Ramp(4000, 0));
  const auto whole = WaveFile::Encode(data, 22050, 1, 16);
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> broken = {
      {"empty.wav", {}},
      {"header_only.wav", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 44)},
      {"riff_only.wav", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 12)},
      {"text.wav", std::vector<std::uint8_t>{'n', 'o', ' ', 'w', 'a', 'v', 'e', '\n'}},
      {"no_channels.wav", WaveFile::Encode(data, 22050, 0, 16)},
      {"no_rate.wav", WaveFile::Encode(data, 0, 1, 16)},
      {"odd_bits.wav", WaveFile::Encode(data, 22050, 1, 13)},
  };
  // Cut in the middle of the samples, and a data chunk that claims 2 GB.
  broken.push_back({"cut.wav", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 1000)});
  auto claims = whole;
  claims[40] = 0xF0, claims[41] = 0xFF, claims[42] = 0xFF, claims[43] = 0x7F;
  broken.push_back({"claims_2gb.wav", claims});
  for (const auto& [name, bytes] : broken) {
    WriteBytes(dir / name, bytes);
    const std::int32_t played = PlayWithin((dir / name).string(), kAsync);
    // A cut file may play what it has; nothing else may count as played.
    if (name != "cut.wav" && name != "claims_2gb.wav") {
      EXPECT_EQ(played, 0) << name;
    }
  }
  ExpectAGoodSoundIsHeard();
}

TEST_F(SoundFaultsTest, NothingIsOpenedThatIsNoFile) {
  fs::create_directory(dir / "folder.wav");
  WriteBytes(dir / "plain", {1, 2, 3});
  const fs::path fifo = Fifo(dir / "fifo.wav");
  fs::create_symlink(fifo, dir / "link_to_fifo.wav");
  for (const fs::path& path : {dir / "folder.wav", fifo, dir / "link_to_fifo.wav", dir / "plain" / "x.wav",
                               fs::path("/dev/zero"), fs::path("/dev/null")})
    EXPECT_EQ(PlayWithin(path.string(), kAsync), 0) << path;
  // A FIFO named like one of our sounds in the working directory: the sound
  // is looked for in the program's sounds folder instead.
  Fifo(dir / "wohoo.wav");
  fs::current_path(dir);
  EXPECT_EQ(FindSoundFile("wohoo.wav"), (fs::path(SoundFolder()) / "wohoo.wav").string());
  EXPECT_NE(PlayWithin("wohoo.wav", kAsync), 0);
  ExpectAGoodSoundIsHeard();
}

// The module: a sounds folder that is a file, or holds a FIFO for the check
// sound, makes the check fail cleanly; an event whose file cannot be played
// prints the three lines each time and the next event is tried all the same.
class StandardSoundFaultsTest : public SoundFaultsTest, protected SoundTest::SoundConsole {
 protected:
  static inline fs::path folder;
  static std::string Folder() { return folder.string(); }

  void SetUp() override {
    SoundFaultsTest::SetUp();
    Start();
    StandardSound::SoundFolderRedirect = Folder;
  }
  void TearDown() override {
    Stop();
    StandardSound::SoundFolderRedirect = Platform::SoundFolder;
    SoundFaultsTest::TearDown();
  }

  bool CheckWithin() {
    return Within(fifos, [] { return StandardSound::InitSound(true); });
  }
};

TEST_F(StandardSoundFaultsTest, ASoundsFolderThatCannotBeReadFailsTheCheckCleanly) {
  WriteBytes(dir / "not_a_folder", {0});
  fs::create_directory(dir / "fifo_folder");
  Fifo(dir / "fifo_folder" / "thx.wav");
  for (const fs::path& f : {dir / "not_a_folder", dir / "fifo_folder", dir / "no_such_folder"}) {
    folder = f;
    console.clear();
    EXPECT_FALSE(CheckWithin()) << f;
    EXPECT_NE(console.find("Sound can NOT be used on your system!\nAll sound events will be desactivated.\n"),
              std::string::npos)
        << f << ": " << console;
  }
}

TEST_F(StandardSoundFaultsTest, AnEventThatCannotBePlayedSaysSoEachTimeAndPlayGoesOn) {
  folder = SoundFolder();
  ASSERT_TRUE(CheckWithin());
  const fs::path empty = dir / "empty.wav";
  WriteBytes(empty, {});
  const fs::path fifo = Fifo(dir / "fifo.wav");
  for (const fs::path& bad : {empty, fifo, dir / "missing.wav"}) {
    std::snprintf(StandardSound::gSoundList[StandardSound::DEL_LINE].fileName,
                  sizeof StandardSound::gSoundList[0].fileName, "%s", bad.c_str());
    for (int twice = 0; twice < 2; ++twice) {
      console.clear();
      Within(fifos, [] {
        StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
        return 0;
      });
      EXPECT_EQ(console, "Sound ERROR : it seems it was not possible to play the sound\n"
                         "       file need here! " + bad.string() + "\n"
                         "       Check whether you have to file AND it is at the good place\n")
          << bad;
    }
    EXPECT_TRUE(StandardSound::gActive);
  }
  ExpectAGoodSoundIsHeard();
}

}  // namespace

namespace {

// The peak resident memory of this process so far (VmHWM), in bytes.
std::size_t PeakResident() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) != 0) continue;
    std::size_t kb = 0;
    std::istringstream(line.substr(6)) >> kb;
    return kb * 1024;
  }
  return 0;
}

// A mono wave file of `bytes` bytes of samples, written a block at a time
// (built whole in memory, it would raise the very figure measured).
void PlantWave(const fs::path& path, std::uint32_t rate, std::uint16_t bits, std::size_t bytes) {
  std::vector<std::uint8_t> header = WaveFile::Encode({}, rate, 1, bits);
  for (int i = 0; i < 4; ++i) {
    header[4 + i] = static_cast<std::uint8_t>((36 + bytes) >> (8 * i));
    header[40 + i] = static_cast<std::uint8_t>(bytes >> (8 * i));
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
  const std::vector<std::uint8_t> block = WaveFile::Bytes(Ramp(32768, -500));
  for (std::size_t left = bytes; left > 0; left -= std::min(left, block.size()))
    out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(std::min(left, block.size())));
}

// Wave files planted in the working directory under the game's own names
// (bare names are looked for there first): one as large as the file found
// in the wild, and one small as a file but minutes long, which converted to
// the device's format would be ten times its size. Each is refused with the
// usual lines, and the peak memory stays within what a sound may take.
TEST_F(StandardSoundFaultsTest, WaveFilesTooLargeForASoundAreRefusedAndMemoryStaysBounded) {
  folder = SoundFolder();
  ASSERT_TRUE(CheckWithin());
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  fs::current_path(dir);
  PlantWave("startup.wav", 22050, 16, 6'000'000);
  PlantWave("any_key.wav", 4000, 8, kMaxSoundFileBytes - 100);
  const std::size_t normal = PeakResident();
  for (const auto& [event, name] : {std::pair{StandardSound::INTRO, "startup.wav"}, {StandardSound::START, "any_key.wav"}}) {
    console.clear();
    StandardSound::PlaySoundEvent(event);
    EXPECT_EQ(console, std::string("Sound ERROR : it seems it was not possible to play the sound\n"
                                   "       file need here! ") + name + "\n"
                       "       Check whether you have to file AND it is at the good place\n");
  }
  const std::size_t grown = PeakResident() - normal;
  std::printf("peak memory grew by %zu bytes\n", grown);
#if defined(__SANITIZE_THREAD__)
  std::printf("not held to the bound: ThreadSanitizer's shadow takes several times what is touched\n");
#else
  EXPECT_LT(grown, kMaxSoundFileBytes + kMaxSoundSeconds * 44100);
#endif
  ExpectAGoodSoundIsHeard();
}

}  // namespace
