// Runtime support: termination procedures, signals, orderly stop and
// fatal run-time errors. Every way out of the program passes through here,
// so that whatever a module registered (the terminal's restoring above all)
// runs exactly once.
// Depends on: the C++ and POSIX libraries alone.
#pragma once

#include <cstdint>
#include <string_view>

namespace Runtime {

// Installs the handlers of SIGINT, SIGTERM, SIGHUP, SIGPIPE and SIGQUIT
// (the termination procedures run, then the program ends by that signal) and
// the normal-exit hook. A signal ignored at start stays ignored. Idempotent:
// main calls it first, and the terminal and the terminal view call it again
// before they change the terminal, for programs without main's call.
void Init();

using TermProc = void (*)();

// Registers a procedure to run at program end: normal end, Halt, Fatal and
// the signals above. Procedures run in reverse order of registration and must
// be async-signal-safe. At most 16; a 17th is a fatal error.
void AddTermProc(TermProc proc);

// Runs the registered procedures once; later calls do nothing.
void RunTermProcs();

// Names the calling thread (at most 15 characters), as top -H, gdb and the
// benchmark report's idle figures show it.
void NameThisThread(const char* name);

// Orderly stop from any thread: message (if any) on stderr, termination
// procedures, then the process ends with `status`.
[[noreturn]] void Halt(std::string_view message, int status);

// Run-time error codes of the fatal-error report; the exit status is the code.
enum class Error : int {
  IndexOutOfRange = 1,
  ArithmeticOverflow = 2,
  AssertionFailed = 15,
};

// Fatal run-time error: report on stderr, termination procedures, exit.
[[noreturn]] void Fatal(Error code, std::string_view what, const char* file, int line);

// Index check for the game's fixed arrays (RT_INDEX): answers i when i < n,
// else a fatal error.
inline std::uint32_t CheckIndex(std::uint32_t i, std::uint32_t n, const char* file, int line) {
  if (i >= n) Fatal(Error::IndexOutOfRange, "index out of range", file, line);
  return i;
}

}  // namespace Runtime

#define RT_ASSERT(cond) \
  ((cond) ? (void)0 : ::Runtime::Fatal(::Runtime::Error::AssertionFailed, #cond, __FILE__, __LINE__))
#define RT_INDEX(i, n) (::Runtime::CheckIndex((i), (n), __FILE__, __LINE__))
