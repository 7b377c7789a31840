// TerminalView: the view's thread and its phases: off, waiting for the
// terminal to grow, up. One lock (the view lock) covers the phase, the
// painter and the console lines; it is taken before the surface lock, never
// after.
#include "graph/TerminalView.h"

#include "graph/FramePacer.h"
#include "graph/TermMap.h"
#include "graph/TextLayer.h"
#include "platform/TermPaint.h"
#include "platform/TermScreen.h"
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

namespace Graph::TerminalView {
namespace {

using Clock = FramePacer::Clock;
// A burst of drawing (a moved piece is some sixty rectangles) is over well
// within this: its frame waits for the end of it rather than show half.
// Every frame costs bytes on a line that may be slow, so none is saved up.
constexpr std::chrono::milliseconds kSettle{2};
constexpr int kSaved = 1;
constexpr std::size_t kKeptLines = 200;
constexpr std::size_t kLongestLine = 1024;

enum class Phase : std::uint8_t { Off, Waiting, Up };

// Two squares a character cell, stacked (the upper half block), where the
// full view does not fit: an 80 x 24 terminal takes the whole picture so.
enum class Layout : std::uint8_t { Full, Compact };

struct State {
  std::mutex lock;
  bool threadStarted = false;
  Phase phase = Phase::Off;
  Picture::Facts facts;
  TermMap::Grid full, compact;  // the least each layout needs
  Layout layout = Layout::Full;
  TermMap::Grid grid;           // the cells the layout in force paints
  Platform::TermSize size;
  Platform::TermPainter painter;
  bool whole = true;          // the next frame repaints everything
  bool requestShown = false;  // the terminal shows the request to enlarge it
  bool linesChanged = false;
  std::deque<std::string> lines;  // console lines, the last kKeptLines
  std::string partial;            // and the one still being written
  FramePacer pacer{kSettle, kSaved};
  Picture::Viewer viewer;  // attached while up
  std::vector<Platform::TermCell> cells;
  std::string out;
};

// Made by the first Open or Close, never freed: the thread lives on.
State* state = nullptr;

State& V() {
  if (!state) {
    state = new State;
    state->viewer.wake = Platform::WakeTermScreen;
  }
  return *state;
}

bool Within(const TermMap::Grid& g, const Platform::TermSize& size) {
  return size.columns >= static_cast<int>(g.columns) && size.rows >= static_cast<int>(g.rows);
}

// The compact layout needs the half block, which only UTF-8 has.
bool CompactPossible(const State& v) { return v.painter.charset == Platform::TermCharset::Utf8; }

// Whether the terminal takes the picture in either layout; the layout and
// its grid are chosen as it answers.
bool ChooseLayout(State& v) {
  if (Within(v.full, v.size)) {
    v.layout = Layout::Full;
    v.grid = v.full;
    return true;
  }
  if (!CompactPossible(v) || !Within(v.compact, v.size)) return false;
  v.layout = Layout::Compact;
  v.grid = {static_cast<std::uint32_t>(v.size.columns), v.compact.rows};  // the texts may take the whole width
  return true;
}

// "74 x 40", or "74 x 40 or 37 x 20" where the compact layout could serve.
std::string Needed(const State& v) {
  char text[64];
  if (CompactPossible(v))
    std::snprintf(text, sizeof text, "%u x %u or %u x %u", v.full.columns, v.full.rows, v.compact.columns,
                  v.compact.rows);
  else
    std::snprintf(text, sizeof text, "%u x %u", v.full.columns, v.full.rows);
  return text;
}

void AddConsoleText(State& v, const std::string& text) {
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
std::vector<std::string> LastLines(const State& v, std::size_t n) {
  std::vector<std::string> out;
  const std::size_t all = v.lines.size() + (v.partial.empty() ? 0 : 1);
  for (std::size_t k = all > n ? all - n : 0; k < v.lines.size(); ++k) out.push_back(v.lines[k]);
  if (!v.partial.empty()) out.push_back(v.partial);
  return out;
}

void Frame(State& v) {
  {
    std::lock_guard surface(Picture::SurfaceLock());
    const Raster::Canvas c = Picture::Canvas();
    if (!c.pixels) return;
    // Taken before the cells are read: drawing from here on wakes us again.
    Picture::TakeChanged(v.viewer);
    if (v.layout == Layout::Full)
      TermMap::Map(c, v.facts, v.cells);
    else
      TermMap::MapCompact(c, v.facts, v.grid.columns, v.cells);
  }
  v.out.clear();
  if (v.whole) Platform::Invalidate(v.painter);
  Platform::PaintCells(v.painter, v.cells, static_cast<int>(v.grid.columns), static_cast<int>(v.grid.rows), v.out);
  const int below = v.size.rows - static_cast<int>(v.grid.rows);
  if (below > 0) {
    Platform::PaintLines(v.painter, static_cast<int>(v.grid.rows), v.size.columns, below,
                         LastLines(v, static_cast<std::size_t>(below)), v.out);
  }
  if (!v.out.empty()) Platform::WriteTermScreen(v.out);
  Picture::Framed(v.viewer);
  v.pacer.Framed(Clock::now());
  v.whole = v.linesChanged = v.requestShown = false;
}

void ShowRequest(State& v) {
  char text[128];
  // With both layouts the least first, and short enough for 60 columns.
  if (CompactPossible(v))
    std::snprintf(text, sizeof text, "Enlarge the terminal to %u x %u or %u x %u (it is %d x %d)", v.compact.columns,
                  v.compact.rows, v.full.columns, v.full.rows, v.size.columns, v.size.rows);
  else
    std::snprintf(text, sizeof text, "Enlarge the terminal to at least %u x %u (it is %d x %d)", v.full.columns,
                  v.full.rows, v.size.columns, v.size.rows);
  v.out.clear();
  Platform::PaintMessage(v.painter, text, v.size.columns, v.out);
  Platform::WriteTermScreen(v.out);
  v.requestShown = true;
  v.whole = true;
}

void Show(State& v) {
  Platform::ShowTermScreen();
  v.phase = Phase::Up;
  v.whole = true;
  Picture::Attach(v.viewer);
}

// What woke the thread, handled; returns how long to wait for the next
// frame (-1: until woken).
int Step(State& v, unsigned events) {
  const auto now = Clock::now();
  if (events & Platform::kTermConsole) {
    std::string text;
    Platform::TakeConsoleText(text);
    if (!text.empty()) AddConsoleText(v, text);
  }
  if (events & (Platform::kTermResized | Platform::kTermResumed)) {
    Platform::TermScreenSize(v.size);
    v.whole = true;
    v.requestShown = false;
    if (v.phase == Phase::Waiting && ChooseLayout(v)) Show(v);
  }
  if (events & Platform::kTermWake) v.pacer.Drawn(now);
  if (v.phase != Phase::Up) return -1;
  if (!ChooseLayout(v)) {
    // The dirty flag stays set meanwhile, so drawing does not wake us.
    if (!v.requestShown) ShowRequest(v);
    v.pacer.Cancel();
    return -1;
  }
  if (!v.pacer.Pending() && !v.whole && !v.linesChanged && !Picture::Dirty(v.viewer)) return -1;
  if (const int wait = v.pacer.WaitMs(now)) return wait;
  Frame(v);
  return -1;
}

void Run() {
  Runtime::NameThisThread("termview");
  State& v = *state;
  int timeout = -1;
  for (;;) {
    const unsigned events = Platform::WaitTermScreen(timeout);
    std::lock_guard lock(v.lock);
    timeout = Step(v, events);
  }
}

void CloseLocked(State& v) {
  if (v.phase == Phase::Off) return;
  Picture::Detach(v.viewer);
  if (v.phase == Phase::Up) Platform::HideTermScreen();
  v.phase = Phase::Off;
  v.lines.clear();
  v.partial.clear();
  std::lock_guard surface(Picture::SurfaceLock());
  TextLayer::Keep(false);
}

}  // namespace

Result Open(const Picture::Facts& facts) {
  State& v = V();
  std::lock_guard lock(v.lock);
  v.facts = facts;
  v.full = TermMap::GridFor(facts);
  v.compact = TermMap::CompactGridFor(facts);
  if (v.full.rows == 0 || !Platform::StartTermScreen() || !Platform::TermScreenUsable() ||
      !Platform::TermScreenSize(v.size)) {
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
  v.painter.colours = Platform::TermColourDepth();
  v.painter.charset = Platform::TermCharacters();
  v.painter.standard = facts.colours;
  v.requestShown = false;
  if (v.phase == Phase::Off) {
    std::lock_guard surface(Picture::SurfaceLock());
    TextLayer::Keep(true);
  }
  if (ChooseLayout(v)) {
    Show(v);
    Platform::WakeTermScreen();
    return Result::Up;
  }
  if (v.phase == Phase::Up) {
    Picture::Detach(v.viewer);
    Platform::HideTermScreen();
  }
  v.phase = Phase::Waiting;
  std::printf("The terminal is %d x %d; graphics need %s\n", v.size.columns, v.size.rows, Needed(v).c_str());
  std::fflush(stdout);
  return Result::TooSmall;
}

void Close() {
  State& v = V();
  std::lock_guard lock(v.lock);
  CloseLocked(v);
}

}  // namespace Graph::TerminalView
