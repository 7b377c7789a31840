// StandardOutput: the terminal test, its size, the careful write, and the
// switch of descriptor 1.
#include "platform/StandardOutput.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace Platform {
namespace {

std::atomic<int> kept{-1};

}  // namespace

bool IsTerminal(int fd) {
  termios t;
  return ::tcgetattr(fd, &t) == 0;
}

bool GetTermSize(int fd, TermSize& size) {
  winsize ws{};
  if (::ioctl(fd, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) return false;
  size.columns = ws.ws_col;
  size.rows = ws.ws_row;
  return true;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t k = ::write(fd, bytes.data(), bytes.size());
    if (k < 0 && errno == EINTR) continue;
    if (k < 0 && errno == EAGAIN) {
      pollfd w{fd, POLLOUT, 0};
      if (::poll(&w, 1, 1000) > 0) continue;
      return;
    }
    if (k <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(k));
  }
}

int KeepTerminal() {
  if (kept.load() < 0) kept.store(::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3));
  return kept.load();
}

void HoldStandardOutput(int fd) {
  if (kept.load() >= 0) ::dup2(fd, STDOUT_FILENO);
}

void ReleaseStandardOutput() {
  if (kept.load() >= 0) ::dup2(kept.load(), STDOUT_FILENO);
}

}  // namespace Platform
