// game_probe: measures the running game from outside, as the X server sees
// it, under a display of its own (bench/graph/xvfb_run.sh gives one):
//
//   game_probe startup GAME [RUNS]   launch to window mapped (MapNotify on
//                                    the root window) and to the title
//                                    picture on the screen (XGetImage)
//   game_probe keys GAME [KEYS]      key typed into the window with XTest,
//                                    as xdotool types it, to the moved piece
//                                    on the screen
//   game_probe ptykeys GAME [KEYS]   the game on a pseudo-terminal of the
//                                    probe's: a key byte written to it to
//                                    the moved piece on the screen
//
// Screen pixels are polled with XGetImage of a small area, about every
// 0.1 ms, so a figure is exact to about that. Medians and spreads in ms.
// The game gets the probe's environment (STACKFALL_SCALE=3 for a window at
// scale 3); the probe reads the picture where the window shows it, at the
// scale its size gives.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Display* dpy = nullptr;
pid_t game = 0;

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "game_probe: %s\n", what);
  if (game > 0) kill(game, SIGKILL);
  std::exit(1);
}

pid_t Launch(const char* path) {
  const pid_t pid = fork();
  if (pid < 0) Die("fork");
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    execl(path, path, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The game with a pseudo-terminal of the probe's as its terminal.
int master = -1;
pid_t LaunchOnPty(const char* path) {
  winsize size{46, 80, 0, 0};
  const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
  if (pid < 0) Die("forkpty");
  if (pid == 0) {
    execl(path, path, static_cast<char*>(nullptr));
    _exit(127);
  }
  fcntl(master, F_SETFL, O_NONBLOCK);
  return pid;
}

// What the game writes to its terminal is read and dropped, so it never
// blocks on a full pty.
void Drain() {
  char buffer[4096];
  if (master >= 0)
    while (read(master, buffer, sizeof buffer) > 0) {
    }
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// Colour of the screen pixel (x, y) as 0xRRGGBB.
std::uint32_t ScreenPixel(int x, int y) {
  XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0xFFFFFFFF;
  const std::uint32_t p = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return p;
}

// Where the window shows the picture: its top left corner on the root and
// its scale, the largest whole one that fits the window (centred there).
struct Placement {
  int x = 1, y = 1, scale = 1;
};
Placement picture;

void FindPicture(Window window) {
  XWindowAttributes a;
  Window child;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(dpy, window, &a) ||
      !XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child))
    Die("no window attributes");
  picture.scale = std::max(1, std::min(a.width / 555, a.height / 600));
  picture.x = x + std::max(0, (a.width - 555 * picture.scale) / 2);
  picture.y = y + std::max(0, (a.height - 600 * picture.scale) / 2);
}

// The screen pixel in the middle of the picture's pixel (x, y).
std::uint32_t PicturePixel(int x, int y) {
  return ScreenPixel(picture.x + x * picture.scale + picture.scale / 2, picture.y + y * picture.scale + picture.scale / 2);
}

// Whether any pixel of the picture's column x0, rows y0..y1, shows `rgb`
// (one screen column through the middle of their blocks).
bool ColumnHas(int x0, int y0, int y1, std::uint32_t rgb) {
  const int k = picture.scale;
  XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), picture.x + x0 * k + k / 2, picture.y + y0 * k, 1,
                            (y1 - y0 + 1) * k, AllPlanes, ZPixmap);
  if (!image) return false;
  bool found = false;
  for (int y = 0; y < (y1 - y0 + 1) * k && !found; ++y) found = (XGetPixel(image, 0, y) & 0xFFFFFF) == rgb;
  XDestroyImage(image);
  return found;
}

template <class Condition>
bool PollUntil(Condition done, double timeoutMs) {
  const auto end = Clock::now() + std::chrono::microseconds(static_cast<long>(timeoutMs * 1000));
  while (!done()) {
    Drain();
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return true;
}

constexpr std::uint32_t kMagenta = 0x800080, kWhite = 0xFFFFFF, kRed = 0xFF0000;

bool TitleShown() { return PicturePixel(67, 37) == kMagenta; }  // 2002
bool BoardShown() { return PicturePixel(8, 8) == kRed; }

// Waits for the game's window to be mapped; returns it.
Window WaitMapped(double timeoutMs) {
  const auto end = Clock::now() + std::chrono::microseconds(static_cast<long>(timeoutMs * 1000));
  while (Clock::now() < end) {
    while (XPending(dpy)) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == MapNotify) return e.xmap.window;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return 0;
}

void Type(KeySym sym) {
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  XFlush(dpy);
}

void Report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) { return v[static_cast<std::size_t>(q * (v.size() - 1))]; };
  std::printf("%-34s median %7.2f ms  (min %.2f, 90th %.2f, max %.2f; %zu samples)\n", what, at(0.5), v.front(),
              at(0.9), v.back(), v.size());
}

void Startup(const char* path, int runs) {
  std::vector<double> mapped, title;
  for (int r = 0; r < runs; ++r) {
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, True);
    const auto t0 = Clock::now();
    game = Launch(path);
    const Window window = WaitMapped(10000);
    if (!window) Die("no window mapped");
    mapped.push_back(Ms(Clock::now() - t0));
    FindPicture(window);
    if (!PollUntil(TitleShown, 10000)) Die("no title picture");
    title.push_back(Ms(Clock::now() - t0));
    XSelectInput(dpy, DefaultRootWindow(dpy), NoEventMask);
    Stop(game);
    game = 0;
    // The next run starts on a screen without the old window.
    PollUntil([] { return !TitleShown(); }, 5000);
  }
  Report("launch to window mapped", mapped);
  Report("launch to title picture on screen", title);
}

// A key into the window (XTest) or, with a pty, into the terminal.
void Press(char key) {
  if (master < 0) {
    Type(key == 'x' ? XK_x : key == '4' ? XK_4 : XK_6);
  } else if (write(master, &key, 1) != 1) {
    Die("pty write");
  }
}

void Keys(const char* path, int samples, bool pty) {
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
  game = pty ? LaunchOnPty(path) : Launch(path);
  const Window window = WaitMapped(10000);
  if (!window) Die("no window mapped");
  FindPicture(window);
  std::printf("the picture at (%d, %d), scale %d\n", picture.x, picture.y, picture.scale);
  if (!PollUntil(TitleShown, 10000)) Die("no title picture");
  XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
  Press('x');
  PollUntil([] { return !TitleShown(); }, 5000);
  Press('x');
  if (!PollUntil(BoardShown, 5000)) Die("no board");
  // The first piece is white in columns 11 and 12; "4" brings it into
  // column 10, "6" takes it back. Column 10 spans pixels 151..165.
  const int x = 10 * 15 + 8;
  if (!PollUntil([&] { return ColumnHas(11 * 15 + 8, 1, 465, kWhite); }, 5000))
    Die("no first piece");
  std::mt19937 random(7);
  std::vector<double> latency;
  bool left = false;
  for (int s = 0; s < samples; ++s) {
    // A random pause, so that keys fall on every phase of the 10 ms tick.
    std::this_thread::sleep_for(std::chrono::microseconds(20000 + random() % 30000));
    left = !left;
    const auto t0 = Clock::now();
    Press(left ? '4' : '6');
    const bool ok = PollUntil(
        [&] { return ColumnHas(x, 1, 465, kWhite) == left; }, 2000);
    if (!ok) Die("the piece did not move");
    latency.push_back(Ms(Clock::now() - t0));
  }
  Stop(game);
  game = 0;
  Report(pty ? "pty byte to moved piece on screen" : "key to moved piece on screen", latency);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: game_probe startup|keys|ptykeys GAME [COUNT]\n");
    return 2;
  }
  dpy = XOpenDisplay(nullptr);
  if (!dpy) Die("no display");
  int ev, err, major, minor;
  if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor)) Die("no XTest");
  const std::string what = argv[1];
  const int count = argc > 3 ? std::atoi(argv[3]) : 0;
  if (what == "startup") {
    Startup(argv[2], count > 0 ? count : 10);
  } else if (what == "keys") {
    Keys(argv[2], count > 0 ? count : 60, false);
  } else if (what == "ptykeys") {
    Keys(argv[2], count > 0 ? count : 60, true);
  } else {
    Die("startup, keys or ptykeys?");
  }
  XCloseDisplay(dpy);
  return 0;
}
