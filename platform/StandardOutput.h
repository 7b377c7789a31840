// StandardOutput: descriptor 1 and the terminal behind it, for everything in
// platform/ that writes to the terminal. Whether a descriptor is a terminal,
// its size, writing all of a text, and who holds descriptor 1: the terminal
// itself, or a pipe of the terminal view's while the picture is up (so that
// the program's console lines never scribble over the picture; they write to
// descriptor 1 as always and go wherever it leads).
// Everything here is async-signal-safe: the runtime's signal handlers give
// the terminal back through it.
// Depends on: POSIX write, poll, dup2, termios (tcgetattr), ioctl.
#pragma once

#include <string_view>

namespace Platform {

struct TermSize {
  int columns = 0;
  int rows = 0;
};

// True when `fd` is a terminal (tcgetattr rather than isatty: that one is
// async-signal-safe).
bool IsTerminal(int fd);

// The terminal's size; false when `fd` is no terminal or it has no size.
bool GetTermSize(int fd, TermSize& size);

// Writes all of `bytes` to `fd`: again after EINTR; when the descriptor is
// full (EAGAIN), waits up to a second for room, then gives up; stops at any
// other failure (a terminal that has hung up takes nothing).
void WriteAll(int fd, std::string_view bytes);

// ---------------------------------------------------------------- descriptor 1

// Once: a close-on-exec copy of descriptor 1 as it is now (the terminal), for
// writing to the terminal while descriptor 1 is held. -1 when it cannot be
// had; later calls answer the same copy.
int KeepTerminal();

// Descriptor 1 becomes `fd` (the view's pipe) until ReleaseStandardOutput.
// After KeepTerminal only.
void HoldStandardOutput(int fd);

// Descriptor 1 is the kept terminal again. Nothing before KeepTerminal.
void ReleaseStandardOutput();

}  // namespace Platform
