// The terminal: raw mode and its restoring, the terminal thread, the console
// mode word and the screen size with the cursor's place.
#include "platform/Terminal.h"

#include <poll.h>
#include <csignal>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/ConsoleInput.h"
#include "platform/KeyDecoder.h"
#include "runtime/Runtime.h"

namespace Platform {
namespace {

termios savedTermios;
termios rawTermios;
std::atomic<bool> rawActive{false};
// Set at a continue: the terminal thread drops what it held of a sequence,
// which no byte typed after the stop completes.
std::atomic<bool> resumed{false};
std::atomic<bool> started{false};
std::atomic<bool> running{false};
std::atomic<std::uint32_t> consoleMode{0x0007};  // processed, line and echo input

// The handover of a cursor report from the terminal thread to the caller of
// GetConsoleScreenBufferInfo.
struct CursorReport {
  std::mutex lock;
  std::condition_variable arrived;
  std::atomic<bool> wanted{false};
  bool ready = false;
  std::uint16_t row = 0, column = 0;
};
CursorReport* report = nullptr;  // made by StartTerminal, never destroyed

// Termination procedure: async-signal-safe.
void RestoreTerminal() {
  if (rawActive.exchange(false)) ::tcsetattr(STDIN_FILENO, TCSANOW, &savedTermios);
}

// Stop procedure: the terminal as it was before us, while we are stopped.
void StopTerminal() {
  if (rawActive.load()) ::tcsetattr(STDIN_FILENO, TCSANOW, &savedTermios);
}

// Continue procedure (after SIGTSTP and SIGSTOP alike): raw mode again, the
// shell having put its own modes back meanwhile. Continued in the background
// (`kill -CONT`), the terminal is the shell's: stop again, as the terminal
// would stop a background job that sets its modes, so that the shell sees a
// stopped job and its `fg` continues us (a shell sends no SIGCONT to a job it
// sees running). With SIGTTOU ignored the game goes on without raw mode.
void ContinueTerminal() {
  if (!rawActive.load()) return;
  const pid_t foreground = ::tcgetpgrp(STDIN_FILENO);
  if (foreground == -1) return;  // hung up: no terminal to stop for or to set
  if (foreground != ::getpgrp()) {
    ::kill(0, SIGTTOU);
    return;
  }
  ::tcsetattr(STDIN_FILENO, TCSANOW, &rawTermios);
  resumed.store(true);
}

void Deliver(const KeyDecoder::Event& e, void*) {
  if (e.kind == KeyDecoder::Event::Kind::Key) {
    WriteConsoleInput(e.record);  // a full buffer drops the key, as a full keyboard buffer does
    return;
  }
  {
    std::lock_guard lock(report->lock);
    if (!report->wanted.load()) return;
    report->wanted = false;
    report->ready = true;
    report->row = e.row;
    report->column = e.column;
  }
  report->arrived.notify_all();
}

void TerminalThread() {
  Runtime::NameThisThread("terminal");
  KeyDecoder::State decoder;
  std::uint8_t bytes[256];
  for (;;) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&p, 1, KeyDecoder::Pending(decoder) ? kEscWaitMs : -1);
    if (resumed.exchange(false)) KeyDecoder::Expire(decoder, Deliver, nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) {
      WaitForConsoleInputRoom(1, -1);
      KeyDecoder::Expire(decoder, Deliver, nullptr);
      continue;
    }
    ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;  // end of file or hang-up: no key will come again
    // Mended: at most one record a byte, waited for. The key reader always runs beside this
    // thread and empties the buffer, so the wait is short; while it lasts
    // the terminal holds the rest of a paste, and nothing is dropped.
    WaitForConsoleInputRoom(static_cast<std::size_t>(n), -1);
    decoder.expectCursorReport = report->wanted.load();
    KeyDecoder::Feed(decoder, bytes, static_cast<std::size_t>(n), Deliver, nullptr);
  }
  KeyDecoder::Expire(decoder, Deliver, nullptr);
  running = false;
}

}  // namespace

bool StartTerminal() {
  if (started.exchange(true)) return running;
  Runtime::Init();  // the signal handlers that give the terminal back
  if (::tcgetattr(STDIN_FILENO, &savedTermios) != 0) return false;
  report = new CursorReport;
  Runtime::AddTermProc(RestoreTerminal);
  termios raw = savedTermios;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);  // ISIG stays: Ctrl+C stops us
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  // Mended: only Ctrl+C stops us, as with a console's processed input: Ctrl+\ and
  // Ctrl+Z would end or stop the program with the terminal still raw, so
  // they arrive as keys.
  raw.c_cc[VQUIT] = _POSIX_VDISABLE;
  raw.c_cc[VSUSP] = _POSIX_VDISABLE;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  rawTermios = raw;
  rawActive = true;
  // TCSAFLUSH: what was typed before start-up is not delivered.
  if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) != 0) {
    rawActive = false;
    return false;
  }
  Runtime::AddStopProcs(StopTerminal, ContinueTerminal);
  running = true;
  std::thread(TerminalThread).detach();
  return true;
}

bool TerminalRunning() { return running; }

bool GetConsoleMode(std::uint32_t& mode) {
  if (!IsTerminal(STDIN_FILENO)) return false;
  mode = consoleMode;
  return true;
}

bool SetConsoleMode(std::uint32_t mode) {
  if (!IsTerminal(STDIN_FILENO)) return false;
  consoleMode = mode;
  return true;
}

bool GetConsoleScreenBufferInfo(ConsoleScreenBufferInfo& info) {
  TermSize size;
  if (!running || !GetTermSize(STDOUT_FILENO, size)) return false;
  {
    std::lock_guard lock(report->lock);
    report->ready = false;
    report->wanted = true;  // stays set on a time-out, so that a late answer is swallowed
  }
  std::fflush(stdout);
  WriteAll(STDOUT_FILENO, "\x1b[6n");
  std::unique_lock lock(report->lock);
  if (!report->arrived.wait_for(lock, std::chrono::milliseconds(500), [] { return report->ready; })) return false;
  info.dwSize = {static_cast<std::int16_t>(size.columns), static_cast<std::int16_t>(size.rows)};
  info.dwCursorPosition = {static_cast<std::int16_t>(report->column - 1), static_cast<std::int16_t>(report->row - 1)};
  return true;
}

}  // namespace Platform
