// The terminal on a pseudo-terminal: raw mode and its exact restoring (at
// the end and on each signal), keys typed into it reaching the console input
// buffer, end of input, the console mode word, the cursor report, positioned
// output and the bell. Each test runs in a child process of its own, since
// the terminal starts once per process.
#include "platform/Terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "platform/ConsoleInput.h"
#include "runtime/Runtime.h"

using namespace Platform;

namespace {

// In the child: a failed check says why on stderr and ends the child with 1.
#define CHECK(cond)                                                        \
  do {                                                                     \
    if (!(cond)) {                                                         \
      std::fprintf(stderr, "check failed: %s (line %d)\n", #cond, __LINE__); \
      std::_Exit(1);                                                       \
    }                                                                      \
  } while (0)

struct Pty {
  int master = -1, slave = -1;
  Pty() {
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) std::abort();
  }
};

bool SameTermios(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
         std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// Bytes the program wrote to the terminal, read from the master side until
// `enough` of them came or five seconds passed.
std::string ReadMaster(int master, std::size_t enough) {
  std::string got;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (got.size() < enough && std::chrono::steady_clock::now() < deadline) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buf[256];
    ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<std::size_t>(n));
  }
  return got;
}

KeyEventRecord NextKey() {
  InputRecord r;
  CHECK(WaitForConsoleInput(5000));
  CHECK(ReadConsoleInput(r));
  CHECK(r.EventType == KEY_EVENT);
  return r.Event.KeyEvent;
}

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
};

TEST_F(TerminalTest, RawWhileRunningAndGivenBackExactlyAtTheEnd) {
  EXPECT_EXIT(
      {
        Pty pty;
        ::dup2(pty.slave, STDIN_FILENO);
        termios before;
        CHECK(::tcgetattr(STDIN_FILENO, &before) == 0);
        CHECK(StartTerminal());
        termios raw;
        CHECK(::tcgetattr(STDIN_FILENO, &raw) == 0);
        CHECK((raw.c_lflag & (ICANON | ECHO | IEXTEN)) == 0);
        CHECK((raw.c_lflag & ISIG) != 0);
        CHECK((raw.c_iflag & (IXON | ICRNL)) == 0);
        CHECK(raw.c_oflag == before.c_oflag);  // LF still starts a new line
        CHECK(raw.c_cc[VMIN] == 1 && raw.c_cc[VTIME] == 0);
        CHECK(raw.c_cc[VINTR] == before.c_cc[VINTR]);  // Ctrl+C still stops the program
        CHECK(raw.c_cc[VQUIT] == _POSIX_VDISABLE && raw.c_cc[VSUSP] == _POSIX_VDISABLE);
        Runtime::RunTermProcs();
        termios after;
        CHECK(::tcgetattr(STDIN_FILENO, &after) == 0);
        CHECK(SameTermios(before, after));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TerminalTest, EachSignalGivesTheTerminalBack) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    Pty pty;
    termios before;
    ASSERT_EQ(::tcgetattr(pty.slave, &before), 0);
    EXPECT_EXIT(
        {
          ::dup2(pty.slave, STDIN_FILENO);
          CHECK(StartTerminal());
          termios raw;
          CHECK(::tcgetattr(STDIN_FILENO, &raw) == 0 && !SameTermios(raw, before));
          std::raise(sig);
          std::_Exit(3);
        },
        ::testing::KilledBySignal(sig), "")
        << "signal " << sig;
    termios after;
    ASSERT_EQ(::tcgetattr(pty.slave, &after), 0);
    EXPECT_TRUE(SameTermios(before, after)) << "signal " << sig;
    ::close(pty.master);
    ::close(pty.slave);
  }
}

TEST_F(TerminalTest, TypedKeysBecomeRecordsAndALoneEscArrivesAfterTheWait) {
  EXPECT_EXIT(
      {
        Pty pty;
        ::dup2(pty.slave, STDIN_FILENO);
        CHECK(StartTerminal());
        CHECK(::write(pty.master, "4\x1b[D\x1b[1;2", 9) == 9);
        KeyEventRecord k = NextKey();
        CHECK(k.wVirtualScanCode == 0x05 && k.uChar == '4' && k.dwControlKeyState == 0);
        k = NextKey();
        CHECK(k.wVirtualScanCode == 0x4B && k.uChar == 0 && k.dwControlKeyState == ENHANCED_KEY);
        CHECK(::write(pty.master, "P", 1) == 1);  // the rest of Shift+F1, in a later read
        k = NextKey();
        CHECK(k.wVirtualScanCode == 0x3B && k.dwControlKeyState == SHIFT_PRESSED);
        CHECK(::write(pty.master, "\x1b", 1) == 1);
        k = NextKey();
        CHECK(k.wVirtualScanCode == 0x01 && k.uChar == 0x1B);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// Three buffers' worth typed while nobody takes a record: the terminal
// thread waits for room and the terminal holds the rest, so every key
// arrives, in order, once records are taken again.
TEST_F(TerminalTest, APasteLargerThanTheInputBufferLosesNothing) {
  EXPECT_EXIT(
      {
        Pty pty;
        ::dup2(pty.slave, STDIN_FILENO);
        CHECK(StartTerminal());
        const std::string typed = [] {
          std::string s;
          for (std::size_t i = 0; i < 3 * kConsoleInputCapacity; ++i) s += static_cast<char>('a' + i % 26);
          return s;
        }();
        std::thread typist([&] {
          for (std::size_t at = 0; at < typed.size();) {
            const ssize_t n = ::write(pty.master, typed.data() + at, typed.size() - at);
            if (n > 0) at += static_cast<std::size_t>(n);
          }
        });
        // The terminal thread stops once a read (at most 256 bytes) no longer
        // fits: the buffer is then full, or nearly.
        const std::size_t nearlyFull = kConsoleInputCapacity - 256;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (GetNumberOfConsoleInputEvents() < nearlyFull && std::chrono::steady_clock::now() < deadline)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CHECK(GetNumberOfConsoleInputEvents() >= nearlyFull);
        for (char c : typed) CHECK(NextKey().uChar == static_cast<unsigned char>(c));
        typist.join();
        CHECK(!WaitForConsoleInput(20));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TerminalTest, HangUpEndsTheThreadAndNoKeyComes) {
  EXPECT_EXIT(
      {
        Pty pty;
        ::dup2(pty.slave, STDIN_FILENO);
        ::close(pty.slave);
        CHECK(StartTerminal());
        CHECK(TerminalRunning());
        ::close(pty.master);  // the terminal goes away: reads give EIO from now on
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (TerminalRunning() && std::chrono::steady_clock::now() < deadline)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CHECK(!TerminalRunning());
        CHECK(!WaitForConsoleInput(20));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TerminalTest, NotATerminalStartsNothingAndTheModeCannotBeRead) {
  EXPECT_EXIT(
      {
        int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        CHECK(!StartTerminal());
        CHECK(!TerminalRunning());
        std::uint32_t mode = 0x1234;
        CHECK(!GetConsoleMode(mode) && mode == 0x1234);
        CHECK(!SetConsoleMode(0x17));
        ConsoleScreenBufferInfo info;
        CHECK(!GetConsoleScreenBufferInfo(info));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TerminalTest, ConsoleModeIsAValueKeptForTheTerminal) {
  EXPECT_EXIT(
      {
        Pty pty;
        ::dup2(pty.slave, STDIN_FILENO);
        std::uint32_t mode = 0;
        CHECK(GetConsoleMode(mode) && mode == 0x7);
        CHECK(SetConsoleMode(0x17));
        CHECK(GetConsoleMode(mode) && mode == 0x17);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TerminalTest, ScreenInfoFromTheTerminalAndPositionedOutput) {
  EXPECT_EXIT(
      {
        Pty pty;
        winsize ws{};
        ws.ws_col = 100;
        ws.ws_row = 30;
        ::ioctl(pty.slave, TIOCSWINSZ, &ws);
        ::dup2(pty.slave, STDIN_FILENO);
        ::dup2(pty.slave, STDOUT_FILENO);
        CHECK(StartTerminal());
        // The terminal's side: answer the cursor position request.
        std::thread terminal([&] {
          std::string asked = ReadMaster(pty.master, 4);
          if (asked == "\x1b[6n") (void)!::write(pty.master, "\x1b[7;12R", 7);
        });
        ConsoleScreenBufferInfo info;
        bool got = GetConsoleScreenBufferInfo(info);
        terminal.join();
        CHECK(got);
        CHECK(info.dwSize.X == 100 && info.dwSize.Y == 30);
        CHECK(info.dwCursorPosition.X == 11 && info.dwCursorPosition.Y == 6);

        WriteConsoleOutputCharacter("ab", {3, 4});
        std::string out = ReadMaster(pty.master, 12);
        CHECK(out == "\x1b" "7\x1b[5;4Hab\x1b" "8");
        SetConsoleCursorPosition({0, 0});
        CHECK(ReadMaster(pty.master, 6) == "\x1b[1;1H");
        // A minute-long beep: the second one comes while it sounds and is merged.
        Beep(300, 60000);
        Beep(300, 60000);
        WriteConsole("!");
        CHECK(ReadMaster(pty.master, 2) == "\a!");
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
