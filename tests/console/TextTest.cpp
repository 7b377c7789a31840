// Console text and the small services: the bytes WrStr, WrChar and WrLn put
// on standard output, IO's start values, CardToStr, Delay through its hook,
// SetConMode, and line input when no line device is installed.
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/IO.h"
#include "console/Lib.h"
#include "console/WholeStr.h"
#include "platform/Terminal.h"

namespace {

// Everything written to standard output while `body` runs.
template <class Body>
std::string StdoutOf(Body body) {
  std::fflush(stdout);
  std::FILE* file = std::tmpfile();
  int saved = ::dup(STDOUT_FILENO);
  ::dup2(::fileno(file), STDOUT_FILENO);
  body();
  std::fflush(stdout);
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  std::string out;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) out += static_cast<char>(c);
  std::fclose(file);
  return out;
}

TEST(IOText, WrStrWritesUpToTheFirstNulOrTheWholeArray) {
  char full[4] = {'a', 'b', 'c', 'd'};
  char cut[6] = {'x', 'y', '\0', 'z', 'z', 'z'};
  char empty[3] = {};
  EXPECT_EQ(StdoutOf([&] { IO::WrStr(full); }), "abcd");
  EXPECT_EQ(StdoutOf([&] { IO::WrStr(cut); }), "xy");
  EXPECT_EQ(StdoutOf([&] { IO::WrStr(empty); }), "");
  EXPECT_EQ(StdoutOf([] { IO::WrStr("Sound works on this computer"); }), "Sound works on this computer");
  EXPECT_EQ(StdoutOf([] { IO::WrStr("be\xEBindigen"); }), "be\xEBindigen");  // bytes, not UTF-8
}

TEST(IOText, WrLnIsExactlyOneLineFeedAndWrCharOneByte) {
  EXPECT_EQ(StdoutOf([] { IO::WrLn(); }), "\n");
  EXPECT_EQ(StdoutOf([] {
              IO::WrChar('4');
              IO::WrChar('\0');
              IO::WrLn();
              IO::WrLn();
            }),
            "4\n\n");  // a NUL character is an empty string: nothing
}

std::vector<std::string> captured;
void Capture(std::string_view s) { captured.emplace_back(s); }

TEST(IOText, EveryWriteGoesThroughWrStrRedirect) {
  captured.clear();
  IO::WrStrRedirect = Capture;
  std::string out = StdoutOf([] {
    IO::WrStr("Score: ");
    IO::WrChar('7');
    IO::WrLn();
  });
  IO::WrStrRedirect = IO::DefaultWrStr;
  EXPECT_EQ(out, "");
  ASSERT_EQ(captured.size(), 3u);
  EXPECT_EQ(captured[0], std::string("Score: ", 8));  // the whole array, NUL included: the writer cuts
  EXPECT_EQ(captured[1], "7");
  EXPECT_EQ(captured[2], "\n");
}

TEST(IOText, StartValues) {
  IO::Init();
  EXPECT_FALSE(IO::Prompt);
  EXPECT_FALSE(IO::RdLnOnWr);
  EXPECT_FALSE(IO::ChopOff);
  EXPECT_FALSE(IO::Eng);
  EXPECT_EQ(IO::PrefixChar, ' ');
  EXPECT_EQ(IO::SuffixChar, ' ');
  std::bitset<256> separators;
  for (int c : {9, 10, 13, 26, 32}) separators.set(c);
  EXPECT_EQ(IO::Separators, separators);
  EXPECT_TRUE(IO::OK);
  EXPECT_FALSE(IO::InputRedirected);
  EXPECT_FALSE(IO::OutputRedirected);
  EXPECT_EQ(IO::WrStrRedirect, IO::DefaultWrStr);
  EXPECT_EQ(IO::RdStrRedirect, IO::DefaultRdStr);
}

std::string Card(std::uint32_t n, std::size_t size) {
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  WholeStr::CardToStr(n, std::span<char>(buf, size));
  return std::string(buf, size + 1);  // one byte past the array: must still be '#'
}

TEST(CardToStr, DecimalDigitsWithNulWhenThereIsRoom) {
  EXPECT_EQ(Card(0, 5), std::string("0\0###", 5) + "#");
  EXPECT_EQ(Card(42, 5), std::string("42\0##", 5) + "#");
  EXPECT_EQ(Card(99999, 5), "99999#");
  EXPECT_EQ(Card(123456, 5), "12345#");  // leading digits only, no NUL
  EXPECT_EQ(Card(4294967295u, 10), "4294967295#");
  EXPECT_EQ(Card(4294967295u, 11), std::string("4294967295\0", 11) + "#");
  EXPECT_EQ(Card(7, 0), "#");
}

std::vector<std::uint32_t> delays;
void RecordDelay(std::uint32_t ms) { delays.push_back(ms); }

TEST(Delay, GoesThroughItsHook) {
  Lib::Init();
  EXPECT_EQ(Lib::DelayRedirect, Lib::Sleep);
  Lib::DelayRedirect = RecordDelay;
  Lib::Delay(10);
  Lib::Delay(0);
  Lib::DelayRedirect = Lib::Sleep;
  EXPECT_EQ(delays, (std::vector<std::uint32_t>{10, 0}));
}

// Standard input as `fd` while `body` runs.
template <class Body>
void WithStdin(int fd, Body body) {
  int saved = ::dup(STDIN_FILENO);
  ::dup2(fd, STDIN_FILENO);
  body();
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
}

TEST(SetConMode, AddsProcessedLineAndEchoInputThenPutsTheModeBack) {
  int master, slave;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  WithStdin(slave, [] {
    ASSERT_TRUE(Platform::SetConsoleMode(0x10));
    std::uint32_t mode = 0, now = 0;
    IO::SetConMode(true, mode);
    EXPECT_EQ(mode, 0x10u);
    ASSERT_TRUE(Platform::GetConsoleMode(now));
    EXPECT_EQ(now, 0x17u);
    IO::SetConMode(false, mode);
    ASSERT_TRUE(Platform::GetConsoleMode(now));
    EXPECT_EQ(now, 0x10u);
  });
  ::close(master);
  ::close(slave);
}

TEST(SetConMode, NotAConsoleLeavesTheModeAlone) {
  int null = ::open("/dev/null", O_RDONLY);
  WithStdin(null, [] {
    std::uint32_t mode = 0xABC;
    IO::SetConMode(true, mode);
    EXPECT_EQ(mode, 0xABCu);
  });
  ::close(null);
}

TEST(RdStr, WithoutALineDeviceReadsAnEmptyLineAtOnce) {
  char line[8];
  std::memset(line, 'x', sizeof line);
  IO::RdStr(line);
  EXPECT_EQ(line[0], '\0');
  EXPECT_EQ(line[1], 'x');
}

}  // namespace
