// The console line editor on a fake console, the line device over it, and
// IO's default reader. Keys are typed as terminal bytes, so they take the
// whole road through the reader thread and the key queue.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ConsoleTestSupport.h"
#include "console/ConsoleOutput.h"
#include "console/EventQueue.h"
#include "console/IO.h"
#include "console/LineDevice.h"
#include "console/LineEditor.h"

using namespace ConsoleTest;
using ConsoleOutput::Coord;

namespace {

// A screen of 25 rows; the editor may only write inside it.
struct FakeConsole {
  bool hasInfo = true;
  std::int16_t width = 40;
  Coord start{5, 2};
  std::vector<std::string> rows;
  Coord cursor;
  std::string written;
  int beeps = 0;
  bool outside = false;
} fake;

bool FakeInfo(ConsoleOutput::ScreenBufferInfo& info) {
  if (!fake.hasInfo) return false;
  info.dwSize = {fake.width, 25};
  info.dwCursorPosition = fake.start;
  return true;
}
void FakeWriteAt(std::string_view text, Coord at) {
  if (at.Y < 0 || at.Y >= 25 || at.X < 0 || at.X + static_cast<int>(text.size()) > fake.width) {
    fake.outside = true;
    return;
  }
  fake.rows[at.Y].replace(at.X, text.size(), text);
}
void FakeCursor(Coord at) { fake.cursor = at; }
void FakeWrite(std::string_view text) { fake.written += text; }
void FakeBeep(std::uint32_t freq, std::uint32_t ms) {
  EXPECT_EQ(freq, 500u);
  EXPECT_EQ(ms, 15u);
  ++fake.beeps;
}

class LineInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartWithoutTerminal();
    ConsoleOutput::GetConsoleScreenBufferInfo = FakeInfo;
    ConsoleOutput::WriteConsoleOutputCharacter = FakeWriteAt;
    ConsoleOutput::SetConsoleCursorPosition = FakeCursor;
    ConsoleOutput::WriteConsole = FakeWrite;
    ConsoleOutput::Beep = FakeBeep;
  }
  void SetUp() override {
    fake = FakeConsole();
    fake.rows.assign(25, std::string(80, '.'));
  }
  void TearDown() override {
    EXPECT_FALSE(fake.outside) << "the editor wrote outside the screen";
    char ch, scan;
    EXPECT_FALSE(EventQueue::peekKey(ch, scan)) << "keys left over";
  }

  // Types `keys` and reads one line into a buffer of `size` bytes.
  static std::string Edit(std::string_view keys, std::uint32_t size = 257) {
    Type(keys);
    std::vector<char> buf(size, '#');
    std::uint32_t n = LineEditor::ReadLine(buf.data(), size);
    return std::string(buf.data(), n);
  }
  static std::string Field(int row = 2) { return fake.rows[row].substr(fake.start.X, fake.width - fake.start.X); }
};

const std::string kHome = "\x1b[H", kEnd = "\x1b[F", kLeft = "\x1b[D", kRight = "\x1b[C", kDel = "\x1b[3~",
                  kBackspace = "\x7F";

TEST_F(LineInputTest, TypedLineEndsWithCrLfAndIsShownFromTheCursor) {
  EXPECT_EQ(Edit("hello\r"), "hello\r\n");
  EXPECT_EQ(fake.rows[2].substr(0, 12), ".....hello  ");
  EXPECT_EQ(fake.rows[2].size(), 80u);
  EXPECT_EQ(fake.rows[2].substr(40), std::string(40, '.'));  // nothing past the screen width
  EXPECT_EQ(fake.cursor.X, 10);
  EXPECT_EQ(fake.cursor.Y, 2);
  EXPECT_EQ(fake.written, "\r\n");
}

TEST_F(LineInputTest, TypingOverwritesAndNeverInserts) {
  EXPECT_EQ(Edit("abcd" + kHome + "X" + kRight + "Y\r"), "XbYd\r\n");
  EXPECT_EQ(Edit("abcd" + kLeft + kLeft + "XYZ\r"), "abXYZ\r\n");
}

TEST_F(LineInputTest, BackspaceDeletesBeforeTheCursorAndDoesNothingAtTheStart) {
  EXPECT_EQ(Edit(kBackspace + "ab" + kHome + kBackspace + "\r"), "ab\r\n");
  EXPECT_EQ(Edit("abc" + kLeft + kBackspace + "\r"), "ac\r\n");
  EXPECT_EQ(Field().substr(0, 4), "ac  ");  // the shifted rest is redrawn
}

TEST_F(LineInputTest, DelDeletesAtTheCursorAndNothingAtTheEnd) {
  EXPECT_EQ(Edit("abc" + kHome + kDel + "\r"), "bc\r\n");
  EXPECT_EQ(Edit("abc" + kDel + kRight + "\r"), "abc\r\n");
}

TEST_F(LineInputTest, OtherKeysAreSkipped) {
  EXPECT_EQ(Edit("a\x1b[A\x1bOP\t\x01\x1b" "1b\r"), "ab\r\n");
}

TEST_F(LineInputTest, LongLineScrollsTheFieldSideways) {
  fake.width = 15;  // a field of 10 columns from column 5
  Type("abcdefghijkl");
  Type(kHome);
  Type(kEnd + "\r");
  std::vector<char> buf(257);
  // Watch the field at each redraw through the cursor hook.
  std::vector<std::pair<std::string, int>> frames;
  static std::vector<std::pair<std::string, int>>* seen;
  seen = &frames;
  ConsoleOutput::SetConsoleCursorPosition = [](Coord at) {
    seen->emplace_back(fake.rows[2].substr(5, 10), at.X);
    fake.cursor = at;
  };
  std::uint32_t n = LineEditor::ReadLine(buf.data(), 257);
  ConsoleOutput::SetConsoleCursorPosition = FakeCursor;
  EXPECT_EQ(std::string(buf.data(), n), "abcdefghijkl\r\n");
  ASSERT_EQ(frames.size(), 15u);  // the empty field, 12 characters, Home, End
  EXPECT_EQ(frames[10], std::make_pair(std::string("bcdefghij "), 14));  // 10 typed: first moved on
  EXPECT_EQ(frames[12], std::make_pair(std::string("defghijkl "), 14));
  EXPECT_EQ(frames[13], std::make_pair(std::string("abcdefghij"), 5));   // Home
  EXPECT_EQ(frames[14], std::make_pair(std::string("defghijkl "), 14));  // End: cursor in the last column
}

TEST_F(LineInputTest, FullLineBeepsAtEachFurtherCharacterAndStillEdits) {
  // A buffer of 8 holds 6 characters and CR LF.
  EXPECT_EQ(Edit("abcdefgh" + kBackspace + "Z\r", 8), "abcdeZ\r\n");
  EXPECT_EQ(fake.beeps, 2);
}

TEST_F(LineInputTest, WithoutScreenInformationTheFieldIsTheTopLeft80Columns) {
  fake.hasInfo = false;
  fake.width = 80;
  EXPECT_EQ(Edit("hi\r"), "hi\r\n");
  EXPECT_EQ(fake.rows[0], "hi" + std::string(78, ' '));
  EXPECT_EQ(fake.cursor.X, 2);
  EXPECT_EQ(fake.cursor.Y, 0);
}

TEST_F(LineInputTest, CursorAtTheRightEdgeStillEditsInOneColumn) {
  fake.start = {39, 3};
  EXPECT_EQ(Edit("abc" + kHome + "Z\r"), "Zbc\r\n");
}

// ---------------------------------------------------------------- the device

TEST_F(LineInputTest, DeviceLooksSkipsAndReadsOneLineThenTheNext) {
  Type("ab\r");
  char c = 0;
  EXPECT_EQ(LineDevice::Look(c), LineDevice::allRight);
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(LineDevice::SkipLook(c), LineDevice::allRight);
  EXPECT_EQ(c, 'b');
  EXPECT_EQ(LineDevice::SkipLook(c), LineDevice::endOfLine);
  EXPECT_EQ(c, '\r');
  LineDevice::Skip();  // CR LF passed whole
  Type("xy\r");
  EXPECT_EQ(LineDevice::Look(c), LineDevice::allRight);
  EXPECT_EQ(c, 'x');
  char text[8] = {};
  std::uint32_t n = 99;
  EXPECT_EQ(LineDevice::TextRead(text, 0, n), LineDevice::allRight);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(LineDevice::TextRead(text, 8, n), LineDevice::allRight);
  EXPECT_EQ(std::string(text, n), "xy");
  EXPECT_EQ(LineDevice::TextRead(text, 8, n), LineDevice::endOfLine);
  EXPECT_EQ(n, 0u);
  LineDevice::Skip();
}

TEST_F(LineInputTest, DeviceTextReadStopsAtItsMaximum) {
  Type("hello\r");
  char text[8];
  std::uint32_t n;
  EXPECT_EQ(LineDevice::TextRead(text, 3, n), LineDevice::allRight);
  EXPECT_EQ(std::string(text, n), "hel");
  EXPECT_EQ(LineDevice::TextRead(text, 8, n), LineDevice::allRight);
  EXPECT_EQ(std::string(text, n), "lo");
  LineDevice::Skip();
}

std::string prompts;
void CapturePrompt(std::string_view s) { prompts += s.substr(0, s.find('\0')); }

TEST_F(LineInputTest, DefaultReaderReadsALineThroughTheDeviceAndPassesItsMark) {
  LineDevice::Install();
  IO::WrStrRedirect = CapturePrompt;
  IO::Prompt = true;
  Type("abc\r");
  char line[10];
  std::memset(line, '#', sizeof line);
  IO::RdStr(line);
  EXPECT_EQ(std::string(line, 4), std::string("abc\0", 4));
  EXPECT_EQ(prompts, "?");
  // A line longer than the array: the rest waits for the next read.
  Type("defgh\r");
  char shortLine[3];
  IO::RdStr(shortLine);
  EXPECT_EQ(std::string(shortLine, 3), "def");
  IO::RdStr(line);
  EXPECT_EQ(std::string(line), "gh");
  EXPECT_EQ(prompts, "???");
  IO::Prompt = false;
  IO::WrStrRedirect = IO::DefaultWrStr;
}

}  // namespace
