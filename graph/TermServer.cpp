// The terminal view's thread and its phases: off, waiting for the terminal
// to grow, up. One lock (the view lock) covers the phase, the painter and
// the console lines; it is taken before the surface lock, never after.
#include "graph/TermServer.h"

#include "graph/Server.h"
#include "graph/TermMap.h"
#include "platform/TermPaint.h"
#include "platform/TermView.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace Graph::TermServer {
namespace {

using Clock = std::chrono::steady_clock;
// At most one frame a display frame.
constexpr auto kFrame = std::chrono::milliseconds(16);
// A burst of drawing (a moved piece is some sixty rectangles) is over well
// within this: its frame waits for the end of it rather than show half.
constexpr auto kSettle = std::chrono::milliseconds(2);
constexpr std::size_t kKeptLines = 200;
constexpr std::size_t kLongestLine = 1024;

enum class Phase : std::uint8_t { Off, Waiting, Up };

struct View {
  std::mutex lock;
  bool threadStarted = false;
  Phase phase = Phase::Off;
  TermMap::Grid grid;
  Platform::TermSize size;
  Platform::TermPainter painter;
  bool whole = true;          // the next frame repaints everything
  bool requestShown = false;  // the terminal shows the request to enlarge it
  bool linesChanged = false;
  std::deque<std::string> lines;  // console lines, the last kKeptLines
  std::string partial;            // and the one still being written
  bool drawn = false;             // drawing since the last frame
  Clock::time_point drawnAt, lastFrame;
  std::vector<Platform::TermCell> cells;
  std::string out;
};

// Made by the first Open or Close, never freed: the thread lives on.
View* view = nullptr;

View& V() {
  if (!view) view = new View;
  return *view;
}

void Wake() { Platform::WakeTermView(); }

bool Fits(const View& v) {
  return v.size.columns >= static_cast<int>(v.grid.columns) && v.size.rows >= static_cast<int>(v.grid.rows);
}

void AddConsoleText(View& v, const std::string& text) {
  for (char ch : text) {
    if (ch == '\n') {
      v.lines.push_back(std::move(v.partial));
      v.partial.clear();
      if (v.lines.size() > kKeptLines) v.lines.pop_front();
    } else if (ch != '\r' && v.partial.size() < kLongestLine) {
      v.partial += ch;
    }
  }
  v.linesChanged = true;
}

// The last `n` console lines, the one being written included.
std::vector<std::string> LastLines(const View& v, std::size_t n) {
  std::vector<std::string> out;
  const std::size_t all = v.lines.size() + (v.partial.empty() ? 0 : 1);
  for (std::size_t k = all > n ? all - n : 0; k < v.lines.size(); ++k) out.push_back(v.lines[k]);
  if (!v.partial.empty()) out.push_back(v.partial);
  return out;
}

void Frame(View& v) {
  {
    std::lock_guard surface(Server::SurfaceLock());
    const Raster::Canvas c = Server::BackBuffer();
    if (!c.pixels) return;
    // Taken before the cells are read: drawing from here on wakes us again.
    Server::TakeDirty();
    TermMap::Map(c, v.cells);
  }
  v.out.clear();
  if (v.whole) Platform::Invalidate(v.painter);
  Platform::PaintCells(v.painter, v.cells, static_cast<int>(v.grid.columns), static_cast<int>(v.grid.rows), v.out);
  const int below = v.size.rows - static_cast<int>(v.grid.rows);
  if (below > 0) {
    Platform::PaintLines(v.painter, static_cast<int>(v.grid.rows), v.size.columns, below,
                         LastLines(v, static_cast<std::size_t>(below)), v.out);
  }
  if (!v.out.empty()) Platform::WriteTerm(v.out);
  Server::CountPresent();
  v.lastFrame = Clock::now();
  v.whole = v.drawn = v.linesChanged = v.requestShown = false;
}

void ShowRequest(View& v) {
  char text[128];
  std::snprintf(text, sizeof text, "Enlarge the terminal to at least %u x %u (it is %d x %d)",
                v.grid.columns, v.grid.rows, v.size.columns, v.size.rows);
  v.out.clear();
  Platform::PaintMessage(v.painter, text, v.size.columns, v.out);
  Platform::WriteTerm(v.out);
  v.requestShown = true;
  v.whole = true;
}

void Show(View& v) {
  Platform::ShowTermView();
  v.phase = Phase::Up;
  v.whole = true;
  Server::ServeOtherView(Wake);
}

// What woke the thread, handled; returns how long to wait for the next
// frame (-1: until woken).
int Step(View& v, unsigned events) {
  const auto now = Clock::now();
  if (events & Platform::kTermConsole) {
    std::string text;
    Platform::TakeConsoleText(text);
    if (!text.empty()) AddConsoleText(v, text);
  }
  if (events & (Platform::kTermResized | Platform::kTermResumed)) {
    Platform::GetTermSize(v.size);
    v.whole = true;
    v.requestShown = false;
    if (v.phase == Phase::Waiting && Fits(v)) Show(v);
  }
  if ((events & Platform::kTermWake) && !v.drawn) {
    v.drawn = true;
    v.drawnAt = now;
  }
  if (v.phase != Phase::Up) return -1;
  if (!Fits(v)) {
    // The dirty flag stays set meanwhile, so drawing does not wake us.
    if (!v.requestShown) ShowRequest(v);
    v.drawn = false;
    return -1;
  }
  if (!v.drawn && !v.whole && !v.linesChanged && Server::UpToDate()) return -1;
  auto due = v.lastFrame + kFrame;
  if (v.drawn) due = std::max(due, v.drawnAt + kSettle);
  if (now < due) return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count());
  Frame(v);
  return -1;
}

void Run() {
  Runtime::NameThisThread("termview");
  View& v = *view;
  int timeout = -1;
  for (;;) {
    const unsigned events = Platform::WaitTermEvents(timeout);
    std::lock_guard lock(v.lock);
    timeout = Step(v, events);
  }
}

void CloseLocked(View& v) {
  Server::ServeOtherView(nullptr);
  if (v.phase == Phase::Up) Platform::HideTermView();
  v.phase = Phase::Off;
  v.lines.clear();
  v.partial.clear();
}

}  // namespace

Result Open(std::uint32_t width, std::uint32_t depth) {
  View& v = V();
  std::lock_guard lock(v.lock);
  if (!Platform::StartTermView() || !Platform::TermUsable() || !Platform::GetTermSize(v.size)) {
    CloseLocked(v);
    return Result::Unavailable;
  }
  if (!v.threadStarted) {
    try {
      std::thread(Run).detach();
    } catch (const std::system_error&) {
      std::fprintf(stderr, "Graph: the terminal view's thread would not start\n");
      return Result::Unavailable;
    }
    v.threadStarted = true;
  }
  v.grid = TermMap::GridFor(width, depth);
  v.painter.colours = Platform::TermColourDepth();
  v.painter.charset = Platform::TermCharacters();
  v.requestShown = false;
  if (Fits(v)) {
    Show(v);
    Wake();
    return Result::Up;
  }
  if (v.phase == Phase::Up) {
    Server::ServeOtherView(nullptr);
    Platform::HideTermView();
  }
  v.phase = Phase::Waiting;
  std::printf("The terminal is %d x %d; graphics need %u x %u\n", v.size.columns,
              v.size.rows, v.grid.columns, v.grid.rows);
  std::fflush(stdout);
  return Result::TooSmall;
}

void Close() {
  View& v = V();
  std::lock_guard lock(v.lock);
  CloseLocked(v);
}

}  // namespace Graph::TermServer
