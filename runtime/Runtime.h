// Runtime support: termination procedures, signals, orderly stop and
// fatal run-time errors. Every way out of the program passes through here,
// so that whatever a module registered (the terminal's restoring above all)
// runs exactly once.
// Depends on: the C++ and POSIX libraries alone.
#pragma once

#include <cstdint>
#include <string_view>

namespace Runtime {

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed; installs
// the handlers of every signal whose default action ends the process (the
// termination procedures run, then the program ends by that signal; in
// sanitizer builds the crash signals are left to the sanitizers), of
// SIGTSTP and SIGCONT (the stop procedures below), a std::terminate handler
// that runs the termination procedures first, and the normal-exit hook. A
// signal ignored at start stays ignored. Idempotent: main calls it first,
// before anything opens a file; the terminal and the terminal view call it
// again before they change the terminal, for programs without main's call.
void Init();

using TermProc = void (*)();

// Registers a procedure to run at program end: normal end, Halt, Fatal and
// the signals above. Procedures run in reverse order of registration and must
// be async-signal-safe. At most 16; a 17th is a fatal error.
void AddTermProc(TermProc proc);

// Registers a pair for stopping and continuing: `onStop` runs at SIGTSTP
// before the process stops for real, `onContinue` at every SIGCONT (also
// after SIGSTOP, which cannot be caught). Stops run in reverse order of
// registration, continues in order; both async-signal-safe. At most 4.
void AddStopProcs(TermProc onStop, TermProc onContinue);

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
