// Runtime support. The termination list is a fixed array of plain function
// pointers so that a signal handler may walk it.
#include "runtime/Runtime.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace Runtime {
namespace {

constexpr int kMaxProcs = 16;
TermProc procs[kMaxProcs];
std::atomic<int> procCount{0};
std::atomic<bool> terminated{false};
bool initialised = false;

void WriteErr(std::string_view s) {
  // write(2) rather than stdio: usable from a signal handler and unbuffered.
  while (!s.empty()) {
    ssize_t n = ::write(STDERR_FILENO, s.data(), s.size());
    if (n <= 0) return;
    s.remove_prefix(static_cast<size_t>(n));
  }
}

// An int as decimal text, without the C library (usable in a signal
// handler); room for the sign, ten digits and one character more.
class Decimal {
 public:
  explicit Decimal(int value) {
    char digits[10];
    int n = 0;
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) text_[length_++] = '-';
    while (n > 0) text_[length_++] = digits[--n];
  }
  void Append(char c) { text_[length_++] = c; }
  std::string_view Text() const { return {text_, length_}; }

 private:
  char text_[13] = {};
  std::size_t length_ = 0;
};

void OnSignal(int sig) {
  // The procedures may set errno (restoring a hung-up terminal fails); the
  // interrupted code must find it as it was.
  const int savedErrno = errno;
  RunTermProcs();
  // Die of the same signal, so the parent sees how we ended: it comes as
  // soon as this handler returns.
  std::signal(sig, SIG_DFL);
  std::raise(sig);
  errno = savedErrno;
}

void AtExit() { RunTermProcs(); }

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESETHAND;
  // SIGPIPE: standard output piped into a program that has ended (keytest |
  // head). SIGQUIT: from kill, since the terminal no longer sends it. Each
  // would otherwise end the program with the terminal left raw.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) {
    // A signal ignored by whoever started us (nohup, a background job) stays ignored.
    struct sigaction old {};
    sigaction(sig, nullptr, &old);
    if (old.sa_handler != SIG_IGN) sigaction(sig, &sa, nullptr);
  }
  std::atexit(AtExit);
}

void AddTermProc(TermProc proc) {
  int n = procCount.load();
  if (n >= kMaxProcs) Fatal(Error::AssertionFailed, "too many termination procedures", __FILE__, __LINE__);
  procs[n] = proc;
  procCount.store(n + 1);
}

void RunTermProcs() {
  if (terminated.exchange(true)) return;
  for (int n = procCount.load(); n > 0; --n) procs[n - 1]();
}

void NameThisThread(const char* name) { ::pthread_setname_np(::pthread_self(), name); }

void Halt(std::string_view message, int status) {
  if (!message.empty()) {
    WriteErr(message);
    WriteErr("\n");
  }
  std::fflush(stdout);
  RunTermProcs();
#if defined(__SANITIZE_ADDRESS__)
  // _exit skips LeakSanitizer's check at exit; a normal end is where a leak
  // shows, so check here (a leak ends the program with LeakSanitizer's status).
  if (status == 0) __lsan_do_leak_check();
#endif
  // Other threads may be inside SDL or blocked on input: leave without
  // running static destructors under their feet.
  ::_exit(status);
}

void Fatal(Error code, std::string_view what, const char* file, int line) {
  // Mended: the place was formatted into a 64-byte buffer and an absolute
  // file name cut it short. Piece by piece, only the numbers in a buffer,
  // one no int can outgrow.
  WriteErr("Fatal run-time error: ");
  WriteErr(what);
  WriteErr(" at ");
  WriteErr(file ? file : "?");
  WriteErr(":");
  WriteErr(Decimal(line).Text());
  WriteErr(" (code ");
  Decimal codeText(static_cast<int>(code));
  codeText.Append(')');
  Halt(codeText.Text(), static_cast<int>(code));
}

}  // namespace Runtime
