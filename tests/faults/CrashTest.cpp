// crashtest: takes the terminal as the game does, then fails on purpose in
// the way named, so that the fault scripts can see the terminal given back
// and the process end by the signal of that failure.
//
//   crashtest segv|bus|fpe|ill|abort|overflow|throw
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/Terminal.h"
#include "runtime/Runtime.h"

namespace {

volatile int zero = 0, seven = 7;  // 1 / x would be compiled to a comparison
int* volatile nowhere = nullptr;

[[gnu::noinline]] int Deeper(int n) {
  if (n < 0) return 0;  // never: the stack ends first
  volatile char frame[1024];
  frame[0] = static_cast<char>(n);
  return Deeper(n + 1) + frame[0];
}

// A page of a file cut to nothing after it was mapped.
[[gnu::noinline]] int ReadBeyondAFile() {
  FILE* file = std::tmpfile();
  if (!file || ::ftruncate(fileno(file), 4096) != 0) return 1;
  auto* page = static_cast<volatile char*>(::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fileno(file), 0));
  if (page == MAP_FAILED || ::ftruncate(fileno(file), 0) != 0) return 1;
  return page[0];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: crashtest segv|bus|fpe|ill|abort|overflow|throw\n");
    return 2;
  }
  Runtime::Init();
  if (!Platform::StartTerminal()) std::fprintf(stderr, "crashtest: standard input is no terminal\n");
  const char* how = argv[1];
  if (!std::strcmp(how, "segv")) return *nowhere;
  if (!std::strcmp(how, "bus")) return ReadBeyondAFile();
  if (!std::strcmp(how, "fpe")) return seven / zero;
  if (!std::strcmp(how, "ill")) __builtin_trap();
  if (!std::strcmp(how, "abort")) std::abort();
  if (!std::strcmp(how, "overflow")) return Deeper(0);
  if (!std::strcmp(how, "throw")) throw std::runtime_error("thrown on purpose");
  std::fprintf(stderr, "crashtest: unknown failure %s\n", how);
  return 2;
}
