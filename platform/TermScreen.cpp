// TermScreen: the terminal's alternate screen, its size, the held console
// text, the wake-up pipe, and the way back to the main screen.
#include "platform/TermScreen.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/Runtime.h"

namespace Platform {
namespace {

// Alternate screen, cursor hidden; and back: colours, cursor, main screen.
constexpr std::string_view kEnter = "\x1b[?1049h\x1b[?25l";
constexpr std::string_view kLeave = "\x1b[0m\x1b[?25h\x1b[?1049l";

std::atomic<bool> started{false};
int termFd = -1;  // standard output as it was at the start: the terminal (KeepTerminal)
int wakeRead = -1, wakeWrite = -1;
int holdRead = -1, holdWrite = -1;  // standard output while the view is shown
std::atomic<bool> shown{false};
std::atomic<bool> onAlternate{false};

// The console text held while shown, for the main screen afterwards: the
// last kRing bytes of it.
constexpr std::size_t kRing = 16384;
char ring[kRing];
std::atomic<std::uint64_t> ringTotal{0};

// TakeConsoleText and HideTermScreen (perhaps in a signal handler) never read
// the hold pipe at once, or text taken by one would be missing from the
// other's output. Dekker's handshake on two flags: HideTermScreen raises
// readerStop and waits (a bounded while) for a reader already inside to
// leave; a reader that comes later sees readerStop and reads nothing.
std::atomic<bool> readerBusy{false};
std::atomic<bool> readerStop{false};

void Signal(char what) {
  const int saved = errno;
  [[maybe_unused]] const ssize_t k = ::write(wakeWrite, &what, 1);  // a full pipe has a wake-up waiting already
  errno = saved;
}

void OnResize(int) { Signal('r'); }

bool MakePipe(int& readEnd, int& writeEnd, bool writeNonBlocking) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  readEnd = fds[0];
  writeEnd = fds[1];
  ::fcntl(readEnd, F_SETFL, ::fcntl(readEnd, F_GETFL) | O_NONBLOCK);
  if (writeNonBlocking) ::fcntl(writeEnd, F_SETFL, ::fcntl(writeEnd, F_GETFL) | O_NONBLOCK);
  return true;
}

void Hold(const char* p, std::size_t n) {
  const std::uint64_t total = ringTotal.load();
  for (std::size_t k = 0; k < n; ++k) ring[(total + k) % kRing] = p[k];
  ringTotal.store(total + n);
}

// Async-signal-safe: the held text, oldest first.
void WriteHeld() {
  const std::uint64_t total = ringTotal.load();
  std::uint64_t at = total > kRing ? total - kRing : 0;
  while (at < total) {
    const std::size_t offset = static_cast<std::size_t>(at % kRing);
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(total - at, kRing - offset));
    WriteAll(termFd, std::string_view(ring + offset, n));
    at += n;
  }
  ringTotal.store(0);
}

const char* Env(const char* name) { return std::getenv(name); }

}  // namespace

bool TermScreenUsable() {
  const int fd = started.load() ? termFd : STDOUT_FILENO;
  if (!IsTerminal(fd)) return false;
  const char* term = Env("TERM");
  return !(term && std::strcmp(term, "dumb") == 0);
}

bool TermScreenSize(TermSize& size) { return GetTermSize(started.load() ? termFd : STDOUT_FILENO, size); }

TermColours TermColourDepth() { return ColoursFor(Env("COLORTERM"), Env("TERM")); }

TermCharset TermCharacters() { return CharsetFor(Env("LC_ALL"), Env("LC_CTYPE"), Env("LANG")); }

bool StartTermScreen() {
  if (started.load()) return true;
  if (!TermScreenUsable()) return false;
  Runtime::Init();  // the signal handlers that run HideTermScreen
  termFd = KeepTerminal();
  if (termFd < 0) return false;
  if (!MakePipe(wakeRead, wakeWrite, true) || !MakePipe(holdRead, holdWrite, false)) return false;
  struct sigaction sa {};
  sa.sa_handler = OnResize;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGWINCH, &sa, nullptr);
  Runtime::AddTermProc(HideTermScreen);
  Runtime::AddStopProcs(TermScreenStop, TermScreenContinue);
  started.store(true);
  return true;
}

void ShowTermScreen() {
  if (!started.load() || shown.load()) return;
  std::fflush(stdout);
  ringTotal.store(0);
  // In this order, so that a signal at any point finds HideTermScreen able to
  // undo what has been done.
  shown.store(true);
  HoldStandardOutput(holdWrite);
  onAlternate.store(true);
  WriteAll(termFd, kEnter);
}

void HideTermScreen() {
  if (!shown.exchange(false)) return;
  ReleaseStandardOutput();
  readerStop.store(true);
  // A reader interrupted by this very handler never leaves: wait a bounded while.
  for (long spin = 0; readerBusy.load() && spin < 20000000; ++spin) {
  }
  if (onAlternate.exchange(false)) WriteAll(termFd, kLeave);
  WriteHeld();
  char buf[512];
  ssize_t n;
  while ((n = ::read(holdRead, buf, sizeof buf)) > 0) WriteAll(termFd, std::string_view(buf, static_cast<std::size_t>(n)));
  readerStop.store(false);
}

bool TermScreenShown() { return shown.load(); }

void WriteTermScreen(std::string_view bytes) {
  // Not after a stop or HideTermScreen, perhaps from a signal handler on
  // another thread: the main screen is not ours to paint.
  if (started.load() && onAlternate.load()) WriteAll(termFd, bytes);
}

unsigned WaitTermScreen(int timeoutMs) {
  if (!started.load()) return 0;
  pollfd p[2] = {{wakeRead, POLLIN, 0}, {holdRead, POLLIN, 0}};
  if (::poll(p, 2, timeoutMs) <= 0) return 0;
  unsigned bits = 0;
  if (p[0].revents & POLLIN) {
    char buf[64];
    ssize_t n;
    while ((n = ::read(wakeRead, buf, sizeof buf)) > 0) {
      for (ssize_t k = 0; k < n; ++k)
        bits |= buf[k] == 'r' ? kTermResized : buf[k] == 'c' ? kTermResumed : kTermWake;
    }
  }
  if (p[1].revents & POLLIN) bits |= kTermConsole;
  return bits;
}

void WakeTermScreen() {
  if (started.load()) Signal('w');
}

void TakeConsoleText(std::string& out) {
  readerBusy.store(true);
  if (!readerStop.load()) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(holdRead, buf, sizeof buf)) > 0) {
      Hold(buf, static_cast<std::size_t>(n));
      out.append(buf, static_cast<std::size_t>(n));
    }
  }
  readerBusy.store(false);
}

void TermScreenStop() {
  if (shown.load() && onAlternate.exchange(false)) WriteAll(termFd, kLeave);
}

void TermScreenContinue() {
  // Continued in the background, the screen is the shell's: `fg` continues us again.
  if (!shown.load() || ::tcgetpgrp(termFd) != ::getpgrp()) return;
  // After SIGSTOP the alternate screen stayed, and the shell wrote on it:
  // enter it anyway (the cursor hidden again), and repaint it whole.
  onAlternate.store(true);
  WriteAll(termFd, kEnter);
  Signal('c');
}

}  // namespace Platform
