// The terminal's output half: writes to it, at a place or at the cursor,
// and the bell, all with standard control sequences.
#include "platform/TerminalOutput.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>

namespace Platform {

namespace {

std::string_view CursorTo(char (&buf)[32], Coord at) {
  int n = std::snprintf(buf, sizeof buf, "\x1b[%d;%dH", at.Y + 1, at.X + 1);
  return {buf, static_cast<std::size_t>(n)};
}

}  // namespace

void WriteConsoleOutputCharacter(std::string_view text, Coord at) {
  if (!IsTerminal(STDOUT_FILENO)) return;
  char buf[32];
  std::fflush(stdout);
  WriteAll(STDOUT_FILENO, "\x1b" "7");  // save the cursor
  WriteAll(STDOUT_FILENO, CursorTo(buf, at));
  WriteAll(STDOUT_FILENO, text);
  WriteAll(STDOUT_FILENO, "\x1b" "8");  // and restore it
}

void SetConsoleCursorPosition(Coord at) {
  if (!IsTerminal(STDOUT_FILENO)) return;
  char buf[32];
  std::fflush(stdout);
  WriteAll(STDOUT_FILENO, CursorTo(buf, at));
}

void WriteConsole(std::string_view text) {
  if (!IsTerminal(STDOUT_FILENO)) return;
  std::fflush(stdout);
  WriteAll(STDOUT_FILENO, text);
}

void Beep(std::uint32_t /*freq*/, std::uint32_t ms) {
  // Mended: a beep blocked its caller for its length (the key reader, 100 ms
  // a lost key). The bell never blocks; a beep before quietAt is merged.
  static std::atomic<std::int64_t> quietAt{0};
  std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  std::int64_t quiet = quietAt.load();
  do {
    if (now < quiet) return;
  } while (!quietAt.compare_exchange_weak(quiet, now + ms));
  int fd = IsTerminal(STDOUT_FILENO) ? STDOUT_FILENO : IsTerminal(STDERR_FILENO) ? STDERR_FILENO : -1;
  if (fd >= 0) WriteAll(fd, "\a");
}

}  // namespace Platform
