// Test tool, preloaded into test programs by threaded_labels.sh: each thread
// a process starts is noted, with the program's path, in $THREAD_SPY_FILE.
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const Create real = reinterpret_cast<Create>(::dlsym(RTLD_NEXT, "pthread_create"));
  if (const char* file = std::getenv("THREAD_SPY_FILE")) {
    char line[4096];
    const ssize_t n = ::readlink("/proc/self/exe", line, sizeof line - 1);
    if (n > 0) {
      line[n] = '\n';
      const int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (fd >= 0) {
        // One write of a whole line: lines of concurrent processes do not mix.
        if (::write(fd, line, static_cast<std::size_t>(n) + 1) < 0) {
        }
        ::close(fd);
      }
    }
  }
  return real(thread, attr, start, arg);
}
