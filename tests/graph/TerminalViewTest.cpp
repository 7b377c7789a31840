// The terminal view on a pseudo-terminal, read back through a model
// terminal: the picture on the alternate screen with the cursor hidden, the
// program's console lines below it and, once the view closes, on the main
// screen after what was there; a stop gives the main screen back and a
// continue repaints the whole picture. Each test runs in a child process of
// its own, since the view starts once per process.
#include "graph/Graph.h"
#include "platform/TermScreen.h"
#include "runtime/Runtime.h"

#include "../support/TermDecode.h"

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr int kColumns = 80, kRows = 45;

// A child on the slave side of a pseudo-terminal of 80 x 45, as a player's
// program; the test reads what it writes from the master side.
class Child {
 public:
  explicit Child(const std::function<void()>& body) {
    int slave = -1;
    winsize ws{};
    ws.ws_col = kColumns;
    ws.ws_row = kRows;
    if (::openpty(&master_, &slave, nullptr, nullptr, &ws) != 0) std::abort();
    std::fflush(nullptr);  // nothing of ours for the child to write again
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setsid();
      ::ioctl(slave, TIOCSCTTY, 0);
      ::dup2(slave, STDIN_FILENO);
      ::dup2(slave, STDOUT_FILENO);
      ::close(slave);
      ::close(master_);
      termios t;  // the cues typed in are not echoed over the picture
      ::tcgetattr(STDIN_FILENO, &t);
      t.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      ::tcsetattr(STDIN_FILENO, TCSANOW, &t);
      ::setenv("STACKFALL_VIEW", "terminal", 1);
      ::setenv("TERM", "xterm", 1);
      ::setenv("COLORTERM", "truecolor", 1);
      ::setenv("LANG", "C.UTF-8", 1);
      body();
      std::_Exit(0);
    }
    ::close(slave);
  }
  ~Child() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    Status();
    ::close(master_);
  }

  // Reads what the child writes until `done` holds for the screen; false
  // after 30 seconds.
  bool Until(const std::function<bool(const TermDecode::Screen&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done(screen)) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) screen.Feed(std::string_view(buf, static_cast<std::size_t>(n)));
    }
    return true;
  }

  // A line typed into the terminal: the child's cue to go on.
  void Go() { [[maybe_unused]] ssize_t n = ::write(master_, "g\n", 2); }

  int Status() {
    if (pid_ <= 0) return status_;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }

  TermDecode::Screen screen{kColumns, kRows};

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
};

// In the child: waits for the test's cue.
void AwaitCue() {
  char line[8];
  if (!std::fgets(line, sizeof line, stdin)) std::_Exit(3);
}

// In the child: a picture of a red square top left, a text and a yellow
// square bottom right.
void DrawPicture() {
  Graph::SetMosaic(15, 1);
  if (!Graph::Init(1, 1, 555, 600)) std::_Exit(2);
  Graph::Rectangle(1, 1, 15, 15, 12, true);
  Graph::Rectangle(541, 586, 554, 599, 14, true);
  Graph::RawOutText(30, 30, 15, "be\xEBindigen");
}

bool ShowsPicture(const TermDecode::Screen& s) {
  const TermDecode::Colour red{TermDecode::Colour::Rgb, 0xFF0000}, yellow{TermDecode::Colour::Rgb, 0xFFFF00};
  return s.alternate && !s.cursorVisible && s.at(0, 0).bg == red && s.at(0, 1).bg == red &&
         s.at(39, 72).bg == yellow && s.at(39, 73).bg == yellow && s.Text(2) == "    be\xC3\xABindigen";
}

TEST(TermView, ConsoleLinesShowBelowThePictureAndStayOnTheMainScreen) {
  Child child([] {
    std::printf("before the view\n");
    std::fflush(stdout);
    DrawPicture();
    std::printf("first line\nsecond line\n");
    std::fflush(stdout);
    AwaitCue();
    Graph::Exit();
    std::printf("after the view\n");
    std::fflush(stdout);
  });
  ASSERT_TRUE(child.Until([](const TermDecode::Screen& s) {
    return ShowsPicture(s) && s.Text(43) == "first line" && s.Text(44) == "second line";
  })) << child.screen.Text(43) << "|" << child.screen.Text(44);
  EXPECT_EQ(child.screen.Text(40), "");
  child.Go();
  ASSERT_TRUE(child.Until([](const TermDecode::Screen& s) { return !s.alternate && s.Text(3) == "after the view"; }))
      << child.screen.Text(0) << "|" << child.screen.Text(1) << "|" << child.screen.Text(2);
  EXPECT_TRUE(child.screen.cursorVisible);
  EXPECT_EQ(child.screen.Text(0), "before the view");
  EXPECT_EQ(child.screen.Text(1), "first line");
  EXPECT_EQ(child.screen.Text(2), "second line");
  EXPECT_EQ(child.screen.unknown, 0);
  EXPECT_EQ(child.Status(), 0);
}

TEST(TermView, AStopGivesTheMainScreenBackAndAContinueRepaintsAll) {
  Child child([] {
    DrawPicture();
    AwaitCue();
    Platform::TermScreenStop();
    AwaitCue();
    Platform::TermScreenContinue();
    AwaitCue();
    Runtime::Halt("", 0);
  });
  ASSERT_TRUE(child.Until(ShowsPicture));
  child.Go();
  ASSERT_TRUE(child.Until([](const TermDecode::Screen& s) { return !s.alternate && s.cursorVisible; }));
  child.Go();
  // The alternate screen comes back cleared: the picture is there again only
  // if it was painted whole.
  ASSERT_TRUE(child.Until(ShowsPicture));
  child.Go();
  ASSERT_TRUE(child.Until([](const TermDecode::Screen& s) { return !s.alternate && s.cursorVisible; }));
  EXPECT_EQ(child.Status(), 0);
}

}  // namespace
