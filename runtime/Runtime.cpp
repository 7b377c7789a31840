// Runtime support: the termination and stop procedures, the signal
// handlers that run them (every ending signal, the crash signals, SIGTSTP
// and SIGCONT), the orderly stop and fatal errors. The lists are fixed
// arrays of plain function pointers so that a signal handler may walk them.
#include "runtime/Runtime.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RUNTIME_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RUNTIME_SANITIZED 1
#endif
#endif

namespace Runtime {
namespace {

// Every signal whose default action ends the process, SIGKILL aside (the
// real-time ones are added at Init).
constexpr int kEnding[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGPIPE, SIGTERM, SIGUSR1,   SIGUSR2, SIGALRM,
                           SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGPWR,  SIGSTKFLT, SIGIO,   SIGSYS};
#if !defined(RUNTIME_SANITIZED)
// The crash signals: a sanitizer build reports them with its own handlers.
constexpr int kCrash[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};
#endif

constexpr int kMaxProcs = 16;
TermProc procs[kMaxProcs];
std::atomic<int> procCount{0};
// The thread that runs the termination procedures (0 until the end
// begins), and whether they have run.
std::atomic<long> endingThread{0};
std::atomic<bool> restored{false};
bool initialised = false;

struct StopProcs {
  TermProc onStop, onContinue;
};
constexpr int kMaxStopProcs = 4;
StopProcs stopProcs[kMaxStopProcs];
std::atomic<int> stopCount{0};
// Stop and continue handlers running now, so that the termination
// procedures start only after them (a continue must not take raw mode back
// after the restore); whether a thread runs the continue procedures, and
// whether a continue came since that run began.
std::atomic<int> jobHandlers{0};
std::atomic<bool> continuing{false};
std::atomic<bool> continueWanted{false};

std::terminate_handler previousTerminate = nullptr;

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

// gettid, not pthread_self: usable from a signal handler.
long ThisThread() { return ::syscall(SYS_gettid); }

// Waits up to about a second, in 1 ms naps, for the condition.
template <typename Condition>
void NapUntil(Condition done) {
  const timespec nap{0, 1'000'000};
  for (int k = 0; k < 1000 && !done(); ++k) ::nanosleep(&nap, nullptr);
}

// Runs the termination procedures once. False when this thread was already
// running them and a signal handler cut in: the program ends as soon as
// that run goes on, so the handler must let it.
bool RestoreOnce() {
  const long me = ThisThread();
  long first = 0;
  if (!endingThread.compare_exchange_strong(first, me)) {
    // Mended: a second ending (a signal on another thread) died at once,
    // with the terminal given back only in part. It waits for the first.
    if (first == me) return false;
    NapUntil([] { return restored.load(); });
    return true;
  }
  NapUntil([] { return jobHandlers.load() == 0; });
  for (int n = procCount.load(); n > 0; --n) procs[n - 1]();
  restored.store(true);
  return true;
}

void OnSignal(int sig) {
  // Mended: the procedures may set errno (restoring a hung-up terminal fails); the
  // interrupted code must find it as it was.
  const int savedErrno = errno;
  if (!RestoreOnce()) {
    errno = savedErrno;
    return;
  }
  // Die of the same signal, so the parent sees how we ended: it comes as
  // soon as this handler returns.
  std::signal(sig, SIG_DFL);
  std::raise(sig);
  errno = savedErrno;
}

void AtExit() { RunTermProcs(); }

// Counts a stop or continue handler in, unless the program is ending.
bool EnterJobHandler() {
  jobHandlers.fetch_add(1);
  if (endingThread.load() == 0) return true;
  jobHandlers.fetch_sub(1);
  return false;
}

// One run at a time, as SIGCONT may come to two threads at once. A
// continue that comes during a run makes it go round once more: that run
// may have been stopped again in the background (by the terminal's
// procedure) and continued by fg, which must then take the terminal.
void ContinueProcs() {
  continueWanted.store(true);
  while (continueWanted.load() && !continuing.exchange(true)) {
    while (continueWanted.exchange(false)) {
      const int n = stopCount.load();
      for (int k = 0; k < n; ++k) stopProcs[k].onContinue();
    }
    continuing.store(false);
  }
}

void OnContinue(int) {
  const int savedErrno = errno;
  if (EnterJobHandler()) {
    ContinueProcs();
    jobHandlers.fetch_sub(1);
  }
  errno = savedErrno;
}

// SIGTSTP: give back what the stop procedures hold, then stop for real
// with the default action, and take the handler back once continued.
void OnStop(int sig) {
  const int savedErrno = errno;
  if (!EnterJobHandler()) {  // ending: the terminal is given back already
    errno = savedErrno;
    return;
  }
  for (int n = stopCount.load(); n > 0; --n) stopProcs[n - 1].onStop();
  struct sigaction ours {}, dfl {};
  dfl.sa_handler = SIG_DFL;
  sigaction(sig, &dfl, &ours);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  std::raise(sig);  // held while this handler runs: it stops us at the unblock
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  sigaction(sig, &ours, nullptr);
  // The kernel drops the stop in an orphaned process group (a script that
  // leads its session, as in a bare terminal): no SIGCONT comes then. When
  // one is held here, its handler runs the procedures as we return.
  sigset_t pending;
  if (sigpending(&pending) != 0 || !sigismember(&pending, SIGCONT)) ContinueProcs();
  jobHandlers.fetch_sub(1);
  errno = savedErrno;
}

// An uncaught exception: the terminal back before the standard handler
// reports it and aborts.
void OnTerminate() {
  RunTermProcs();
  if (previousTerminate) previousTerminate();
  std::abort();
}

// Mended: a closed standard descriptor is taken by the next file or
// connection opened (`stackfall >&-` put the console's lines into the X
// connection on descriptor 1): each gets /dev/null first.
void OpenStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int got = ::open("/dev/null", O_RDWR);  // the lowest free one: fd itself
    if (got > fd) {
      ::dup2(got, fd);
      ::close(got);
    }
  }
}

void Handle(int sig, const struct sigaction& sa) {
  // Mended: a signal ignored by whoever started us (nohup, a background job)
  // stays ignored.
  struct sigaction old {};
  if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) sigaction(sig, &sa, nullptr);
}

#if !defined(RUNTIME_SANITIZED)
// The main thread's crash handler runs here, so that a stack overflow still
// gives the terminal back.
alignas(16) char alternateStack[64 * 1024];
#endif

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  OpenStandardDescriptors();
  // Every handler holds off the ending and job signals while it runs, so
  // that none cuts another's work on the terminal short on the same thread.
  sigset_t held;
  sigemptyset(&held);
  for (int sig : kEnding) sigaddset(&held, sig);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) sigaddset(&held, sig);
  sigaddset(&held, SIGTSTP);
  sigaddset(&held, SIGCONT);
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sa.sa_mask = held;
  sa.sa_flags = SA_RESETHAND;
  // Mended: any of these (SIGUSR1 from a stray kill, SIGXCPU under ulimit -t)
  // would otherwise end the program with the terminal left raw.
  for (int sig : kEnding) Handle(sig, sa);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) Handle(sig, sa);
#if !defined(RUNTIME_SANITIZED)
  stack_t alternate{};
  alternate.ss_sp = alternateStack;
  alternate.ss_size = sizeof alternateStack;
  if (sigaltstack(&alternate, nullptr) == 0) sa.sa_flags |= SA_ONSTACK;
  // Mended: a crash left the terminal raw; the default action still follows
  // (core dump included).
  for (int sig : kCrash) Handle(sig, sa);
#endif
  // Mended: a stop left the terminal raw, and a continue left it the shell's.
  struct sigaction job {};
  job.sa_mask = held;
  job.sa_flags = SA_RESTART;
  job.sa_handler = OnStop;
  Handle(SIGTSTP, job);
  job.sa_handler = OnContinue;
  sigaction(SIGCONT, &job, nullptr);  // ignored or not, SIGCONT continues us
  previousTerminate = std::set_terminate(OnTerminate);
  std::atexit(AtExit);
}

void AddTermProc(TermProc proc) {
  int n = procCount.load();
  if (n >= kMaxProcs) Fatal(Error::AssertionFailed, "too many termination procedures", __FILE__, __LINE__);
  procs[n] = proc;
  procCount.store(n + 1);
}

void AddStopProcs(TermProc onStop, TermProc onContinue) {
  const int n = stopCount.load();
  if (n >= kMaxStopProcs) Fatal(Error::AssertionFailed, "too many stop procedures", __FILE__, __LINE__);
  stopProcs[n] = {onStop, onContinue};
  stopCount.store(n + 1);
}

void RunTermProcs() { (void)RestoreOnce(); }

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
  // Mended: a long file name or text cut the message short. It is written
  // piece by piece, only the numbers through a buffer, one no int outgrows.
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
