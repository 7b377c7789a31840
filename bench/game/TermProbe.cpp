// term_probe: the game in its terminal view, measured from outside: the
// program runs on a pseudo-terminal of 80 x 46 of ours (TERM_PROBE_SIZE,
// e.g. 80x24, for another: the compact layout) with no display, 24-bit
// colour and UTF-8, and everything it writes is read from the master side.
//
//   term_probe load GAME [SECONDS]   bytes written per second and CPU of the
//                                    whole program (all threads, schedstat)
//                                    on the title screen, then in play with
//                                    no key
//   term_probe keys GAME [KEYS]      a key typed into the terminal to the
//                                    frame with the moved piece written
//
// Keys are typed between falls: right after the frame of a fall, 100 and
// 300 ms into the 500 ms interval, so that the next frame is the key's.
// 4 and 6 take turns, so that the piece never meets a wall. A key that
// moves nothing (a piece blocked) writes nothing and is not counted.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int master = -1;
pid_t game = 0;

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "term_probe: %s\n", what);
  if (game > 0) ::kill(game, SIGKILL);
  std::exit(1);
}

void Launch(const char* path) {
  winsize ws{};
  ws.ws_col = 80;
  ws.ws_row = 46;
  if (const char* size = std::getenv("TERM_PROBE_SIZE")) {
    unsigned columns = 0, rows = 0;
    if (std::sscanf(size, "%ux%u", &columns, &rows) != 2 || columns == 0 || rows == 0) Die("TERM_PROBE_SIZE is not COLUMNSxROWS");
    ws.ws_col = static_cast<unsigned short>(columns);
    ws.ws_row = static_cast<unsigned short>(rows);
  }
  game = ::forkpty(&master, nullptr, nullptr, &ws);
  if (game < 0) Die("forkpty");
  if (game == 0) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("TERM", "xterm-256color", 1);
    ::setenv("COLORTERM", "truecolor", 1);
    ::setenv("LANG", "C.UTF-8", 1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDERR_FILENO);
    ::execl(path, path, static_cast<char*>(nullptr));
    ::_exit(127);
  }
}

// Reads what is there within `ms`; the number of bytes (0 on time-out).
std::size_t ReadFor(int ms) {
  pollfd p{master, POLLIN, 0};
  if (::poll(&p, 1, ms) <= 0) return 0;
  char buf[65536];
  const ssize_t n = ::read(master, buf, sizeof buf);
  if (n <= 0) Die("the game ended");
  return static_cast<std::size_t>(n);
}

// Reads for `ms` in all; bytes read.
std::size_t Drain(int ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  std::size_t bytes = 0;
  for (auto now = Clock::now(); now < end; now = Clock::now())
    bytes += ReadFor(static_cast<int>(std::max<double>(1, Ms(end - now))));
  return bytes;
}

void Type(char key) {
  if (::write(master, &key, 1) != 1) Die("cannot type");
}

// CPU time of every thread of the game so far, in ns.
double CpuNs() {
  double total = 0;
  const std::string dir = "/proc/" + std::to_string(game) + "/task";
  DIR* d = ::opendir(dir.c_str());
  if (!d) Die("no /proc task folder");
  while (dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;
    FILE* f = std::fopen((dir + "/" + e->d_name + "/schedstat").c_str(), "r");
    double ns = 0;
    if (f && std::fscanf(f, "%lf", &ns) == 1) total += ns;
    if (f) std::fclose(f);
  }
  ::closedir(d);
  return total;
}

void Measure(const char* what, int seconds) {
  const double cpu0 = CpuNs();
  const auto t0 = Clock::now();
  const std::size_t bytes = Drain(seconds * 1000);
  const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
  const double cpu = (CpuNs() - cpu0) / 1e9 / secs * 100;
  std::printf("%s: %.2f KB/s written, CPU %.3f %% of a core (%zu bytes in %.1f s)\n", what, bytes / secs / 1000, cpu,
              bytes, secs);
}

void Load(int seconds) {
  if (Drain(3000) == 0) Die("no title within 3 s");  // start-up and the first frames
  Measure("title screen", seconds);
  Type('x');
  Drain(300);
  Type('x');
  Drain(1500);  // the board and the first falls settle
  Measure("in play, no key", seconds);
}

void Keys(std::size_t count) {
  Drain(3000);
  Type('x');
  Drain(300);
  Type('x');
  Drain(1500);
  std::vector<double> v;
  std::size_t unmoved = 0;
  char key = '4';
  while (v.size() < count) {
    // A fall: a frame with no key typed. Its rest, if the pty split it, within 5 ms.
    while (ReadFor(1000) == 0) {
    }
    const auto fall = Clock::now();
    Drain(5);
    for (int at : {100, 300}) {
      Drain(static_cast<int>(std::max<double>(1, at - Ms(Clock::now() - fall))));
      const auto typed = Clock::now();
      Type(key);
      key = key == '4' ? '6' : '4';
      if (ReadFor(150) == 0) {
        ++unmoved;
        continue;
      }
      v.push_back(Ms(Clock::now() - typed));
      Drain(5);
    }
  }
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) { return v[static_cast<std::size_t>(q * (v.size() - 1))]; };
  std::printf("key to moved piece written        median %7.2f ms  (min %.2f, 90th %.2f, max %.2f; %zu samples, %zu keys moved nothing)\n",
              at(0.5), v.front(), at(0.9), v.back(), v.size(), unmoved);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "load") != 0 && std::strcmp(argv[1], "keys") != 0)) {
    std::fprintf(stderr, "usage: term_probe load GAME [SECONDS] | keys GAME [KEYS]\n");
    return 2;
  }
  Launch(argv[2]);
  if (std::strcmp(argv[1], "load") == 0) {
    Load(argc > 3 ? std::atoi(argv[3]) : 20);
  } else {
    Keys(argc > 3 ? static_cast<std::size_t>(std::atoi(argv[3])) : 100);
  }
  ::kill(game, SIGTERM);
  ::waitpid(game, nullptr, 0);
  return 0;
}
