// Sound on a real sound server: a PulseAudio server of the test's own with a
// null sink, whose monitor is recorded. What we play arrives there sample for
// sample; a server killed under the game is noticed and one started again
// brings sound back; a cut sound fades instead of clicking; the stream stops
// playing silence once the sound is over. Assertions are on samples and on
// the server's own state, never on wall-clock time (bench/sound has the
// figures).
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "console/IO.h"
#include "platform/Sound.h"
#include "sound/StandardSound.h"
#include "sounds/WaveFile.h"
#include "tests/support/PulseServer.h"
#include "tests/support/SoundConsole.h"
#include "tests/support/Samples.h"

namespace fs = std::filesystem;
using Samples::Find;
using Samples::Sound;

// libpulse's threads hand data over through its own lock-free queues and
// semaphores, which ThreadSanitizer cannot see into.
extern "C" const char* __tsan_default_suppressions() { return "race:libpulsecommon\nrace:libpulse.so\n"; }

namespace {

constexpr std::uint32_t kAsync = Platform::SND_FILENAME | Platform::SND_ASYNC;
constexpr char kErrorLines[] =
    "Sound ERROR : it seems it was not possible to play the sound\n"
    "       file need here! wohoo.wav\n"
    "       Check whether you have to file AND it is at the good place\n";

class PulseSoundTest : public ::testing::Test, protected SoundTest::SoundConsole {
 protected:

  fs::path dir;
  std::unique_ptr<Pulse::Server> server;

  void SetUp() override {
    if (!Pulse::Installed())
      GTEST_SKIP() << "pulseaudio or pulseaudio-utils is not installed (scripts/deps.sh installs them)";
    Platform::CloseSound();
    dir = fs::temp_directory_path() / ("stackfall_pulse_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    server = std::make_unique<Pulse::Server>(dir);
    ASSERT_TRUE(server->Start()) << "the test's sound server did not start; see " << dir / "server.log";
    ASSERT_TRUE(server->StartRecording());
    Start();
  }
  void TearDown() override {
    Stop();
    Platform::CloseSound();
    server.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  static Sound GameSound(const char* name) {
    return WaveFile::ReadMono16((fs::path(Platform::SoundFolder()) / name).string());
  }

  // Waits until the monitor has received every sample of `sound`, in order
  // (with the silences of a busy machine's underruns, if any, put in).
  bool Arrives(const Sound& sound) {
    const Sound expected = Samples::Unbroken(sound);
    return Pulse::Server::WaitFor(
        [&] { return Find(Samples::Unbroken(server->Recorded()), expected) != std::string::npos; });
  }

  // The check, and the check sound heard to its end.
  void CheckSoundWorks() {
    ASSERT_TRUE(StandardSound::InitSound(true));
    ASSERT_TRUE(Arrives(GameSound("thx.wav")));
    console.clear();
  }
};

TEST_F(PulseSoundTest, AnEventArrivesWholeTheStreamRestsAfterwardsAndTheNextStillArrivesWhole) {
  CheckSoundWorks();
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  EXPECT_TRUE(Arrives(GameSound("wohoo.wav"))) << "the row sound did not reach the sink whole";
  // At rest no stream of ours plays into the sink: none uncorked, sink idle.
  EXPECT_TRUE(Pulse::Server::WaitFor([&] {
    return server->SinkState() == "IDLE" && server->Pactl("list sink-inputs").find("Corked: no") == std::string::npos;
  })) << "the stream never rested: " << server->SinkState() << "\n" << server->Pactl("list sink-inputs");
  StandardSound::PlaySoundEvent(StandardSound::START);
  EXPECT_TRUE(Arrives(GameSound("any_key.wav"))) << "after a rest the next sound did not arrive whole";
  EXPECT_EQ(console, "");
}

TEST_F(PulseSoundTest, AKilledServerIsNoticedAndOneStartedAgainBringsSoundBack) {
  CheckSoundWorks();
  // A long sound keeps the stream playing when the server goes.
  const fs::path longSound = dir / "long.wav";
  ASSERT_TRUE(WaveFile::WriteMono16(longSound.string(), Samples::Sine(5 * 22050, 220, 0.3), 22050));
  ASSERT_NE(Platform::PlaySound(longSound.string(), kAsync), 0);
  server->StopRecording();
  server->Kill();
  // Rows keep being removed: every request now says it could not play, at
  // the latest once SDL has seen the connection go, and play goes on. The
  // requests come faster than the stream could rest, so the device that
  // answers 0 is the lost one, not a fresh open.
  ASSERT_TRUE(Pulse::Server::WaitFor([&] {
    console.clear();
    StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
    return !console.empty();
  })) << "requests still answer success with the server gone";
  EXPECT_EQ(console, kErrorLines);
  console.clear();
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  EXPECT_EQ(console, kErrorLines) << "each request is tried again, and fails again";

  ASSERT_TRUE(server->Start());
  ASSERT_TRUE(server->StartRecording());
  console.clear();
  StandardSound::PlaySoundEvent(StandardSound::DEL_LINE);
  EXPECT_EQ(console, "") << "the first request after the server came back failed";
  EXPECT_TRUE(Arrives(GameSound("wohoo.wav"))) << "no sound from the restarted server";
}

// Two smooth sounds, whose own steps are small, so that all a hard cut would
// show is the cut: the first swings up slowly (a 1 Hz sine), the second
// starts at its lowest, mid-waveform, and ends softly. Cut while the first is
// well up, the jump would be most of full scale.
TEST_F(PulseSoundTest, ACutSoundFadesOutAndAnAbruptStartFadesIn) {
  const Sound first = Samples::Sine(3 * 22050, 1, 0.6);
  Sound second = Samples::Sine(22050 / 2, 90, 0.5, -M_PI / 2);
  for (std::size_t i = 0; i < 441; ++i) second[second.size() - 1 - i] = std::int16_t(second[second.size() - 1 - i] * int(i) / 441);
  const fs::path firstPath = dir / "first.wav", secondPath = dir / "second.wav";
  ASSERT_TRUE(WaveFile::WriteMono16(firstPath.string(), first, 22050));
  ASSERT_TRUE(WaveFile::WriteMono16(secondPath.string(), second, 22050));
  ASSERT_NE(Platform::PlaySound(firstPath.string(), kAsync), 0);
  ASSERT_TRUE(Arrives(Sound(first.begin(), first.begin() + 22050 / 20)));
  ASSERT_NE(Platform::PlaySound(secondPath.string(), kAsync), 0);
  ASSERT_TRUE(Arrives(Sound(second.end() - 441, second.end()))) << "the second sound did not arrive";
  const double step = Samples::LargestStep(Samples::Unbroken(server->Recorded()));
  const double own = std::max(Samples::LargestStep(first), Samples::LargestStep(second));
  std::printf("largest step in what the sink played: %.4f of full scale (the sounds' own: %.4f)\n", step, own);
  EXPECT_LT(step, 0.05) << "the cut clicks";
}

}  // namespace
