// LinuxCompat: the thread names and the alternate signal stack the runtime
// asks for, which a browser has no use for, and an _exit that ends the
// program from any of its threads.
#include "platform/web/LinuxCompat.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>

// A browser's threads carry no names: the name is taken and forgotten.
extern "C" int pthread_setname_np(pthread_t, const char*) { return 0; }

// No signal ever arrives on a stack of its own in a page: refused, and the
// runtime's handlers run on the thread's stack.
extern "C" int sigaltstack(const stack_t*, stack_t*) {
  errno = ENOSYS;
  return -1;
}

// Mended: emscripten's own _exit, called on any thread but the browser's
// main one (the program's main runs on one of its own), has the main
// thread end the program and then returns into code that traps
// ("unreachable", an error on the page). Its exit unwinds the calling
// thread instead, once it has passed the status to the main thread, which
// tells the page. No static destructor runs (the runtime is kept alive, see
// web.cmake), as none does at _exit.
extern "C" void _exit(int status) { std::exit(status); }
