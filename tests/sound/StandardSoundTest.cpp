// StandardSound with the platform replaced: the string routines, the check's
// console lines and table, and the calls every event makes (or does not).
#include "sound/StandardSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "console/IO.h"

using namespace StandardSound;

namespace {

// ---------------------------------------------------------------- strings

// A destination array with guard bytes behind it: a write past its end shows
// (the sanitizer cannot see one that stays inside the struct).
template <std::size_t N>
struct Guarded {
  char to[N];
  char after[4];
  Guarded() { std::memset(this, '#', sizeof *this); }
  std::string Text() const { return {to, N}; }
  bool GuardIntact() const { return std::string(after, 4) == "####"; }
};

TEST(StrLength, CountsToTheFirstNulOrTheWholeArray) {
  const char text[8] = {'a', 'b', 'c', '\0', 'x', 'y', '\0', '\0'};
  EXPECT_EQ(StrLength(text), 3u);
  EXPECT_EQ(StrLength(""), 0u);
  const char full[3] = {'a', 'b', 'c'};
  EXPECT_EQ(StrLength(full), 3u);
  EXPECT_EQ(MinCard(7, 3), 3u);
  EXPECT_EQ(MinCard(3, 3), 3u);
  EXPECT_EQ(MinCard(0, 0xFFFFFFFFu), 0u);
}

TEST(StrCopy, ShortSourceArrivesWithItsNulAndTheRestIsUntouched) {
  char to[100];
  std::memset(to, '#', sizeof to);
  StrCopy(to, "ab");
  EXPECT_STREQ(to, "ab");
  for (int i = 3; i < 100; ++i) ASSERT_EQ(to[i], '#') << "index " << i;
}

TEST(StrCopy, CopiesPastTheSourcesNulAsFarAsTheCountReaches) {
  const char from[6] = {'a', '\0', 'z', 'z', 'z', '\0'};
  char to[8] = {'1', '2', '3', '4', '5', '6', '7', '8'};
  StrCopy(to, from);
  EXPECT_EQ(std::string(to, 8), std::string("a\0zzz\0" "78", 8));
}

TEST(StrCopy, LongSourceFillsTheDestinationWithoutNul) {
  Guarded<4> g;
  StrCopy(g.to, "abcdefghi");
  EXPECT_EQ(g.Text(), "abcd");
  EXPECT_TRUE(g.GuardIntact());
}

TEST(StrConcatenate, AppendsAtTheNulWithTheSourcesNul) {
  char to[100];
  std::memset(to, '#', sizeof to);
  std::memcpy(to, "12345678", 9);  // 8 characters and a NUL
  StrConcatenate(to, "abcdefg");   // an array of 8
  EXPECT_EQ(std::string(to, 16), std::string("12345678abcdefg\0", 16));
  for (int i = 16; i < 100; ++i) ASSERT_EQ(to[i], '#') << "index " << i;
}

TEST(StrConcatenate, IsCutAtTheEndOfTheDestinationWhichIsLeftWithoutNul) {
  Guarded<6> g;
  std::memcpy(g.to, "abcd", 5);  // room for two more
  StrConcatenate(g.to, "xyz");
  EXPECT_EQ(g.Text(), "abcdxy");
  EXPECT_TRUE(g.GuardIntact());
}

TEST(StrConcatenate, OntoAnArrayWhoseOnlyNulIsLastReplacesItAndNothingMore) {
  Guarded<5> g;
  std::memcpy(g.to, "abcd", 5);
  StrConcatenate(g.to, "xyz");
  EXPECT_EQ(g.Text(), "abcdx");
  EXPECT_TRUE(g.GuardIntact());
}

TEST(StrConcatenate, OntoAFullArrayWithoutNulWritesNothing) {
  Guarded<4> g;
  std::memcpy(g.to, "full", 4);
  StrConcatenate(g.to, "/thx.wav");
  EXPECT_EQ(g.Text(), "full");
  EXPECT_TRUE(g.GuardIntact());
}

// ---------------------------------------------------------------- events

struct Call {
  std::string name;
  std::uint32_t flags;
  bool operator==(const Call&) const = default;
};

std::vector<Call> calls;
std::vector<std::string> console;  // one entry per IO::WrStr, up to its NUL
std::int32_t platformAnswer = 1;
std::string folder = "/opt/stackfall/sounds";

std::int32_t FakePlaySound(std::string_view name, std::uint32_t flags) {
  calls.push_back({std::string(name), flags});
  return platformAnswer;
}

std::string FakeSoundFolder() { return folder; }

void Capture(std::string_view s) { console.emplace_back(s.substr(0, s.find('\0'))); }

const std::vector<std::string> kCheckLines = {
    "\n", "You should here sound now, this to check whether sound works on your system...", "\n",
    "\n"};

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class StandardSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Init();
    gActive = false;
    gSoundList = {};
    calls.clear();
    console.clear();
    platformAnswer = 1;
    folder = "/opt/stackfall/sounds";
    PlaySoundRedirect = FakePlaySound;
    SoundFolderRedirect = FakeSoundFolder;
    IO::WrStrRedirect = Capture;
  }
  void TearDown() override {
    PlaySoundRedirect = Platform::PlaySound;
    SoundFolderRedirect = Platform::SoundFolder;
    IO::WrStrRedirect = IO::DefaultWrStr;
  }

  static void ExpectEntry(SoundEventEn e, const char* name, std::uint32_t flag) {
    const SoundRc& rc = gSoundList[e];
    EXPECT_STREQ(rc.fileName, name) << "event " << int(e);
    EXPECT_TRUE(std::all_of(rc.fileName + std::strlen(name), rc.fileName + 100,
                            [](char c) { return c == '\0'; }));
    EXPECT_EQ(rc.soundFlag, flag) << "event " << int(e);
  }

  static void ExpectBoundTable(std::uint32_t flag) {
    ExpectEntry(GAME_OVER, "game_over.wav", flag);
    ExpectEntry(INTRO, "startup.wav", flag);
    ExpectEntry(DEL_LINE, "wohoo.wav", flag);
    ExpectEntry(START, "any_key.wav", flag);
    for (int e = SIMPLE_MOVE; e <= KEY_SOUND; ++e) ExpectEntry(SoundEventEn(e), "", 0);
  }
};

TEST_F(StandardSoundTest, SuccessfulAsynchronousCheckBindsTheFourFiles) {
  EXPECT_TRUE(InitSound(true));
  EXPECT_TRUE(gActive);
  EXPECT_EQ(calls, (std::vector<Call>{{"/opt/stackfall/sounds/thx.wav", 0x20001}}));
  EXPECT_EQ(console, Then(kCheckLines, {"\n", "\n", "Sound works fine!", "\n"}));
  ExpectBoundTable(0x20001);
}

TEST_F(StandardSoundTest, SynchronousCheckStillPlaysTheCheckAsynchronously) {
  EXPECT_TRUE(InitSound(false));
  EXPECT_EQ(calls, (std::vector<Call>{{"/opt/stackfall/sounds/thx.wav", 0x20001}}));
  ExpectBoundTable(0x20000);
}

TEST_F(StandardSoundTest, FailingCheckSaysSoAndSilencesEveryEvent) {
  platformAnswer = 0;
  EXPECT_FALSE(InitSound(true));
  EXPECT_FALSE(gActive);
  EXPECT_EQ(console, Then(kCheckLines, {"Sound can NOT be used on your system!", "\n",
                                        "All sound events will be desactivated.", "\n", "\n"}));
  for (int e = 0; e < int(kSoundEvents); ++e) ExpectEntry(SoundEventEn(e), "", 0);

  calls.clear();
  console.clear();
  for (int e = 0; e < int(kSoundEvents); ++e) PlaySoundEvent(SoundEventEn(e));
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(console.empty());
}

TEST_F(StandardSoundTest, BeforeTheCheckNoEventIsPlayed) {
  PlaySoundEvent(DEL_LINE);
  PlaySoundEvent(EXPLODE);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(console.empty());
}

TEST_F(StandardSoundTest, EventsPlayTheirFilesAndExplodeAsksWithAnEmptyName) {
  InitSound(true);
  calls.clear();
  console.clear();
  PlaySoundEvent(INTRO);
  PlaySoundEvent(START);
  for (int k = 0; k < 4; ++k) PlaySoundEvent(DEL_LINE);
  PlaySoundEvent(EXPLODE);
  std::vector<Call> expected = {{"startup.wav", 0x20001}, {"any_key.wav", 0x20001}};
  for (int k = 0; k < 4; ++k) expected.push_back({"wohoo.wav", 0x20001});
  expected.push_back({"", 0});
  EXPECT_EQ(calls, expected);
  EXPECT_TRUE(console.empty());
}

std::vector<std::string> ErrorLines(const std::string& name) {
  return {"Sound ERROR : it seems it was not possible to play the sound", "\n",
          "       file need here! ", name, "\n",
          "       Check whether you have to file AND it is at the good place", "\n"};
}

TEST_F(StandardSoundTest, AFailedEventWritesThreeLinesAndTheNextIsTriedAgain) {
  InitSound(true);
  console.clear();
  calls.clear();
  platformAnswer = 0;
  PlaySoundEvent(DEL_LINE);
  EXPECT_EQ(console, ErrorLines("wohoo.wav"));
  EXPECT_TRUE(gActive);

  console.clear();
  PlaySoundEvent(EXPLODE);
  EXPECT_EQ(console, ErrorLines(""));
  EXPECT_EQ(calls, (std::vector<Call>{{"wohoo.wav", 0x20001}, {"", 0}}));

  console.clear();
  platformAnswer = 1;
  PlaySoundEvent(DEL_LINE);
  EXPECT_TRUE(console.empty());
  EXPECT_EQ(calls.size(), 3u);
}

TEST_F(StandardSoundTest, CheckPathJoinsFolderAndFileWithASeparatorUpToTheBuffersSize) {
  folder = std::string(91, 'd');  // 91 + "/" + "thx.wav" = 99 characters and the NUL
  InitSound(true);
  folder = std::string(92, 'd');  // one more would lose the NUL: the bare name goes instead
  InitSound(true);
  folder = std::string(300, 'd');
  InitSound(true);
  folder = "";
  InitSound(true);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].name, std::string(91, 'd') + "/thx.wav");
  EXPECT_EQ(calls[1].name, "thx.wav");
  EXPECT_EQ(calls[2].name, "thx.wav");
  EXPECT_EQ(calls[3].name, "thx.wav");
}

TEST_F(StandardSoundTest, TheRealCheckPathNamesTheShippedCheckSound) {
  SoundFolderRedirect = Platform::SoundFolder;
  InitSound(true);
  ASSERT_EQ(calls.size(), 1u);
  const std::filesystem::path check(calls[0].name);
  EXPECT_EQ(check.filename(), "thx.wav");
  // The whole path while it fits the 100-character name (a checkout deep in
  // the file system does not), else the bare name; the platform finds the
  // shipped file by either.
  const bool fits = Platform::SoundFolder().size() + std::string_view("/thx.wav").size() < 100;
  EXPECT_EQ(check.has_parent_path(), fits) << calls[0].name;
  EXPECT_TRUE(std::filesystem::is_regular_file(Platform::FindSoundFile(calls[0].name))) << calls[0].name;
}

TEST_F(StandardSoundTest, InitStartsTheConsoleOutput) {
  EXPECT_TRUE(IO::Separators.test(32));
  EXPECT_TRUE(IO::Separators.test(26));
}

}  // namespace
