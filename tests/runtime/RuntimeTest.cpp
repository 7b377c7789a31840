#include "runtime/Runtime.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void Say(const char* s) { (void)!::write(STDERR_FILENO, s, std::char_traits<char>::length(s)); }
void ProcA() { Say("A"); }
void ProcB() { Say("B"); }

class RuntimeDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(RuntimeDeathTest, HaltPrintsMessageThenRunsProceduresInReverseOrder) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        Runtime::AddTermProc(ProcA);
        Runtime::AddTermProc(ProcB);
        Runtime::Halt("Couldn't create main window", 9);
      },
      ::testing::ExitedWithCode(9), "^Couldn't create main window\nBA$");
}

TEST_F(RuntimeDeathTest, ProceduresRunOnceAlsoAtNormalExit) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        Runtime::AddTermProc(ProcA);
        Runtime::RunTermProcs();
        Runtime::RunTermProcs();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^A$");
}

TEST_F(RuntimeDeathTest, FailedAssertionReportsAndStopsWithItsCode) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        Runtime::AddTermProc(ProcA);
        int x = 1;
        RT_ASSERT(x > 1);
      },
      ::testing::ExitedWithCode(15), "Fatal run-time error: x > 1 at .*RuntimeTest.cpp:[0-9]+ \\(code 15\\)\nA$");
}

TEST_F(RuntimeDeathTest, AFatalMessageIsNeverCut) {
  // A checkout deep in the file system, and a long condition.
  const std::string file = "/" + std::string(400, 'd') + "/Source.cpp";
  const std::string what = std::string(300, 'w') + " > 1";
  EXPECT_EXIT(Runtime::Fatal(Runtime::Error::ArithmeticOverflow, what, file.c_str(), 2147483647),
              ::testing::ExitedWithCode(2),
              "^Fatal run-time error: w{300} > 1 at /d{400}/Source\\.cpp:2147483647 \\(code 2\\)\n$");
}

TEST_F(RuntimeDeathTest, IndexOutOfRangeIsFatal) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        volatile unsigned i = 25;
        (void)RT_INDEX(i, 25u);
      },
      ::testing::ExitedWithCode(1), "index out of range");
}

TEST(Runtime, IndexInRangePassesThrough) { EXPECT_EQ(RT_INDEX(24u, 25u), 24u); }

TEST_F(RuntimeDeathTest, EachSignalRunsProceduresAndEndsTheProcessByThatSignal) {
  // Not SIGPROF: the death test's child starts with it ignored (gtest's doing).
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGXCPU, SIGXFSZ,
                  SIGPWR, SIGSYS, SIGRTMIN, SIGRTMAX}) {
    EXPECT_EXIT(
        {
          const rlimit noCore{};  // no core file from SIGQUIT and the like
          ::setrlimit(RLIMIT_CORE, &noCore);
          Runtime::Init();
          Runtime::AddTermProc(ProcA);
          std::raise(sig);
          Say("not reached");
        },
        ::testing::KilledBySignal(sig), "^A$")
        << "signal " << sig;
  }
}

// The terminal given back slowly, and meanwhile another ending signal on
// another thread: the end waits until the procedure has finished.
pthread_t bystander;
void SlowProc() {
  Say("[");
  ::pthread_kill(bystander, SIGTERM);
  const timespec aWhile{0, 200'000'000};
  ::nanosleep(&aWhile, nullptr);
  Say("]");
}

TEST_F(RuntimeDeathTest, ASecondSignalWaitsForTheFirstToGiveTheTerminalBack) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        Runtime::AddTermProc(SlowProc);
        std::thread other([] {
          for (;;) ::pause();
        });
        bystander = other.native_handle();
        other.detach();
        std::raise(SIGUSR1);
      },
      [](int status) { return WIFSIGNALED(status); }, "^\\[\\]$");
}

TEST_F(RuntimeDeathTest, ASignalIgnoredAtStartStaysIgnored) {
  EXPECT_EXIT(
      {
        std::signal(SIGHUP, SIG_IGN);
        Runtime::Init();
        Runtime::AddTermProc(ProcA);
        std::raise(SIGHUP);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^A$");
}

TEST_F(RuntimeDeathTest, ClosedStandardDescriptorsGetDevNull) {
  EXPECT_EXIT(
      {
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        Runtime::Init();
        const int next = ::open("/dev/null", O_RDONLY);
        std::exit(::fcntl(STDIN_FILENO, F_GETFD) != -1 && ::write(STDOUT_FILENO, "x", 1) == 1 && next > 2 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

#if defined(__SANITIZE_ADDRESS__)
int* volatile leaked = nullptr;
// Allocates and drops the only pointers: many, so that no stale copy in a
// register or a stack slot can keep them all reachable.
[[gnu::noinline]] void Leak() {
  for (int n = 0; n < 100; ++n) leaked = new int[64];
  leaked = nullptr;
}

TEST_F(RuntimeDeathTest, ANormalHaltLooksForLeaks) {
  EXPECT_EXIT(
      {
        Runtime::Init();
        Leak();
        Runtime::Halt("", 0);
      },
      [](int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; },
      "LeakSanitizer: detected memory leaks");
}
#endif

}  // namespace
