// The window server thread: it starts video, makes the window when Init asks,
// shows the back buffer at once after a quiet spell, at most once a display
// frame while drawing goes on, and at once when the window is uncovered;
// turns the window's keys into console key records, and closes the window
// when Exit asks.
//
// Mended: a thread could take the signal it gave itself, and the search for
// the console window could loop for ever. The handshake is a state word
// under the window lock with one condition variable per direction: the
// caller signals only `toServer` and waits only on `toCaller`, the server the
// other way round. The console window is not looked for: nothing used its
// handle, and a terminal has no window.
#include "graph/Server.h"

#include "platform/Window.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace Graph::Server {
namespace {

using Clock = std::chrono::steady_clock;
// One display frame: while drawing goes on the window is shown this often.
constexpr auto kFrame = std::chrono::milliseconds(16);
// Presents a quiet spell saves up: a key's redraw just after a fall's is
// shown at once, drawing that goes on is held to one present a frame.
constexpr int kBurst = 3;
// Mended: an oversized window would exhaust memory. This is the largest side
// SDL makes; a larger one is refused, and a null window keeps to it as well.
constexpr std::uint32_t kMaxExtent = 16384;

enum class Phase : std::uint8_t {
  NotStarted,  // no server thread
  Starting,    // the thread is starting video
  Failed,      // video would not start; the server waits for a retry
  Closed,      // video runs, no window; the server waits for an open request
  Open,        // the window stands
};

constexpr Box kNothing{0xFFFFFFFF, 0xFFFFFFFF, 0, 0};
constexpr Box kEverything{0, 0, 0xFFFFFFFF, 0xFFFFFFFF};

struct State {
  // Window lock: the phase, the requests and the geometry.
  std::mutex windowLock;
  std::condition_variable toServer, toCaller;
  Phase phase = Phase::NotStarted;
  bool retryWanted = false;
  bool openWanted = false;
  bool closeWanted = false;
  bool keepOnClose = false;  // a restart: the old window stays up until the new one shows
  int x = 0, y = 0;
  int width = 0, depth = 0;
  Platform::WindowLook look;
  std::uint32_t displayBits = 24;

  // Surface lock: the back buffer.
  std::mutex surfaceLock;
  bool haveBack = false;
  std::vector<std::uint32_t> back;
  std::uint32_t backWidth = 0, backDepth = 0;

  std::atomic<bool> serving{false};
  std::atomic<void (*)()> otherView{nullptr};
  std::atomic<bool> dirty{false};
  std::atomic<bool> presenting{false};  // raised before dirty is cleared
  Box changed = kNothing;  // under the surface lock: since the last present
  std::atomic<std::uint64_t> presents{0};
};

// Made on first use by the caller's thread and never freed: the server
// thread lives until the process ends and must never see it destroyed.
State* state = nullptr;

State& S() {
  if (!state) state = new State;
  return *state;
}

int ScreenCoordinate(std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0x7FFF)); }
int Extent(std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0x7FFFFFFF)); }

// ---------------------------------------------------------------------------
// Server thread

// Shows what changed since the last present, or with `whole` everything.
void Present(State& s, Platform::WindowId window, bool whole = false) {
  std::lock_guard windowLock(s.windowLock);
  Platform::PixelRect part{0, 0, 0, 0};
  s.presenting.store(true);
  {
    std::lock_guard surfaceLock(s.surfaceLock);
    s.dirty.store(false);
    const Box box = std::exchange(s.changed, kNothing);
    // Copying only the changed part is what keeps a falling piece cheap:
    // a whole window is some 1.3 MB a present.
    if (whole || box.left <= box.right) {
      const auto limit = [](std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0x7FFF)); };
      part = whole ? Platform::PixelRect{0, 0, 0x7FFF, 0x7FFF}
                   : Platform::PixelRect{limit(box.left), limit(box.top), limit(box.right) - limit(box.left) + 1,
                                         limit(box.bottom) - limit(box.top) + 1};
      Platform::CopyToWindow(window, s.back.data(), s.backWidth, s.backDepth, &part);
    }
  }
  Platform::UpdateWindow(window, &part);
  s.presents.fetch_add(1);
  s.presenting.store(false);
}

// Mended: keys typed faster than the key reader took them filled the
// console buffer, and the rest were dropped unheard (no bell, not counted).
// As the terminal's keys do, each waits for room, a bounded while: with no
// reader at all the window must go on.
void Deliver(const Platform::InputRecord& record) {
  constexpr int kRoomWaitMs = 50;
  if (Platform::WriteConsoleInput(record)) return;
  Platform::WaitForConsoleInputRoom(1, kRoomWaitMs);
  Platform::WriteConsoleInput(record);
}

// Runs the window's events until a close is asked for; returns whether the
// window is to stay up until the next one shows.
bool Serve(State& s, Platform::WindowId window) {
  std::uint32_t modifiers = 0;
  // The earliest time of the next present; it runs at most kBurst - 1
  // frames behind the clock, which is what a quiet spell saves up.
  auto due = Clock::now() - kFrame;
  auto presented = [&due](Clock::time_point now) { due = std::max(due, now - (kBurst - 1) * kFrame) + kFrame; };
  for (;;) {
    int timeoutMs = -1;
    if (s.dirty.load()) {
      auto now = Clock::now();
      if (now >= due) {
        Present(s, window);
        presented(now);
        continue;
      }
      timeoutMs = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count());
    }
    Platform::WindowEvent event;
    if (!Platform::WaitWindowEvent(event, timeoutMs)) continue;
    switch (event.kind) {
      case Platform::WindowEventKind::Wake: {
        std::lock_guard lock(s.windowLock);
        if (s.closeWanted) return s.keepOnClose;
        break;
      }
      case Platform::WindowEventKind::KeyDown:
      case Platform::WindowEventKind::KeyUp:
        Deliver(KeyRecord(event.kind == Platform::WindowEventKind::KeyDown, event.scan, modifiers));
        break;
      case Platform::WindowEventKind::FocusChanged:
        modifiers = 0;
        break;
      case Platform::WindowEventKind::Exposed:
        if (event.window == window) {
          Present(s, window, true);
          presented(Clock::now());
        }
        break;
      case Platform::WindowEventKind::CloseRequest:
        break;  // deliberate: the window cannot be closed by the user
      case Platform::WindowEventKind::Other:
        break;
    }
  }
}

void ServerMain() {
  State& s = *state;
  // With no display the thread stays, to try again at the next Init: the
  // display may have come since. (Ending it would also strand what SDL keeps
  // per thread.)
  while (!Platform::StartVideo()) {
    std::unique_lock lock(s.windowLock);
    s.phase = Phase::Failed;
    s.toCaller.notify_all();
    s.toServer.wait(lock, [&] { return s.retryWanted; });
    s.retryWanted = false;
  }
  {
    std::lock_guard lock(s.windowLock);
    s.displayBits = Platform::DisplayBitsPerPixel();
    s.phase = Phase::Closed;
  }
  s.toCaller.notify_all();

  Platform::WindowId retiring = 0;
  for (;;) {
    int x, y, width, depth;
    Platform::WindowLook look;
    {
      std::unique_lock lock(s.windowLock);
      s.toServer.wait(lock, [&] { return s.openWanted; });
      s.openWanted = false;
      x = s.x, y = s.y, width = s.width, depth = s.depth, look = s.look;
    }
    Platform::WindowId window = Platform::OpenWindow("Graph", x, y, width, depth, look);
    if (!window) {
      Platform::ErrorBox("Couldn't create main window");
      Runtime::Halt("", 9);
    }
    if (retiring) {
      // The new window covers the old one before it goes: no flash of the
      // desktop between two games, and the keys stay with us.
      Present(s, window);
      if (Platform::WindowHasFocus(retiring)) Platform::FocusWindow(window);
      Platform::CloseWindow(retiring);
      retiring = 0;
    }
    {
      std::lock_guard lock(s.windowLock);
      s.phase = Phase::Open;
    }
    s.serving.store(true);
    s.toCaller.notify_all();

    const bool keep = Serve(s, window);
    s.serving.store(false);
    if (keep)
      retiring = window;
    else
      Platform::CloseWindow(window);
    {
      std::lock_guard lock(s.windowLock);
      s.closeWanted = false;
      s.phase = Phase::Closed;
    }
    s.toCaller.notify_all();
  }
}

// ---------------------------------------------------------------------------
// Caller's side

// With the window lock held and the window open: asks the server to close it
// and waits until it has.
void CloseLocked(State& s, std::unique_lock<std::mutex>& lock, bool keep) {
  s.closeWanted = true;
  s.keepOnClose = keep;
  lock.unlock();
  Platform::WakeWindowServer();
  lock.lock();
  s.toCaller.wait(lock, [&] { return s.phase == Phase::Closed; });
}

// With the window lock held: the server thread running video, waiting for a
// window. False when it cannot be had.
bool StartServerLocked(State& s, std::unique_lock<std::mutex>& lock) {
  if (s.phase == Phase::Closed || s.phase == Phase::Open) return true;
  if (s.phase == Phase::Failed) {
    s.phase = Phase::Starting;
    s.retryWanted = true;
    s.toServer.notify_one();
  } else {
    s.phase = Phase::Starting;
    try {
      std::thread(ServerMain).detach();
    } catch (const std::system_error&) {
      s.phase = Phase::NotStarted;
      lock.unlock();
      Platform::ErrorBox("Graph server not run");
      lock.lock();
      return false;
    }
  }
  s.toCaller.wait(lock, [&] { return s.phase == Phase::Closed || s.phase == Phase::Failed; });
  return s.phase == Phase::Closed;
}

// Replaces the back buffer by a cleared one; false when there is no memory
// or the size is beyond what a window can have.
bool MakeBackBuffer(State& s, std::uint32_t width, std::uint32_t depth) {
  std::lock_guard lock(s.surfaceLock);
  s.haveBack = false;
  s.back = {};
  s.backWidth = s.backDepth = 0;
  try {
    if (width > kMaxExtent || depth > kMaxExtent) throw std::bad_alloc();
    s.back.assign(static_cast<std::size_t>(width) * depth, 0);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Graph: no memory for a surface of %u x %u\n", width, depth);
    return false;
  }
  s.haveBack = true;
  s.backWidth = width;
  s.backDepth = depth;
  s.changed = kEverything;
  s.dirty.store(true);
  return true;
}

void DropBackBuffer(State& s) {
  std::lock_guard lock(s.surfaceLock);
  s.haveBack = false;
  s.back = {};
  s.backWidth = s.backDepth = 0;
}

}  // namespace

std::mutex& SurfaceLock() { return S().surfaceLock; }

Raster::Canvas BackBuffer() {
  State& s = S();
  if (!s.haveBack) return {};
  return {s.back.data(), s.backWidth, s.backDepth};
}

bool MarkDirty(const Box& box) {
  State& s = S();
  Box& c = s.changed;
  c = {std::min(c.left, box.left), std::min(c.top, box.top), std::max(c.right, box.right),
       std::max(c.bottom, box.bottom)};
  return (s.serving.load() || s.otherView.load()) && !s.dirty.exchange(true);
}

void Wake() {
  State& s = S();
  auto other = s.otherView.load();
  if (other && !s.serving.load()) {
    other();
    return;
  }
  Platform::WakeWindowServer();
}

bool Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth) {
  State& s = S();
  std::unique_lock lock(s.windowLock);
  if (s.phase == Phase::Open) CloseLocked(s, lock, true);
  DropBackBuffer(s);
  if (!StartServerLocked(s, lock)) return false;
  s.x = ScreenCoordinate(x);
  s.y = ScreenCoordinate(y);
  s.width = Extent(width);
  s.depth = Extent(depth);
  s.openWanted = true;
  s.toServer.notify_one();
  s.toCaller.wait(lock, [&] { return s.phase == Phase::Open; });
  // The buffer is made once the window stands: a size the window system
  // refuses ends the program before anything that large is allocated.
  if (!MakeBackBuffer(s, width, depth)) {
    CloseLocked(s, lock, false);
    return false;
  }
  lock.unlock();
  Wake();
  return true;
}

void SetWindowLook(Platform::WindowLook look) {
  State& s = S();
  std::lock_guard lock(s.windowLock);
  s.look = look;
}

bool OpenNull(std::uint32_t width, std::uint32_t depth) {
  Close();
  State& s = S();
  const bool made = MakeBackBuffer(s, width, depth);
  s.dirty.store(false);
  return made;
}

void Close() {
  State& s = S();
  std::unique_lock lock(s.windowLock);
  if (s.phase == Phase::Open) CloseLocked(s, lock, false);
  DropBackBuffer(s);
}

std::uint32_t DisplayBits() {
  State& s = S();
  std::lock_guard lock(s.windowLock);
  return s.displayBits;
}

Platform::InputRecord KeyRecord(bool down, std::uint8_t scan, std::uint32_t& modifiers) {
  Platform::InputRecord r;
  r.EventType = Platform::KEY_EVENT;
  auto& k = r.Event.KeyEvent;
  k.bKeyDown = down ? 1 : 0;
  k.wRepeatCount = 1;
  k.wVirtualKeyCode = 0;
  // Deliberate: modulo decimal 100, so a key of scan code 100 arrives as 0.
  k.wVirtualScanCode = static_cast<std::uint16_t>(scan % 100);
  k.uChar = 0;
  k.dwControlKeyState = modifiers;
  std::uint32_t bit = 0;
  if (scan == 42 || scan == 54) bit = Platform::SHIFT_PRESSED;
  if (scan == 29) bit = Platform::LEFT_CTRL_PRESSED;
  if (scan == 56) bit = Platform::LEFT_ALT_PRESSED;
  // Deliberate: one bit for both Shift keys, so releasing either clears it.
  modifiers = down ? (modifiers | bit) : (modifiers & ~bit);
  return r;
}

std::uint64_t PresentCount() { return S().presents.load(); }

// Not while a present is under way: dirty is cleared as it begins, after
// presenting is raised, so read in the other order.
bool UpToDate() { return !S().dirty.load() && !S().presenting.load(); }

void ServeOtherView(void (*wake)()) { S().otherView.store(wake); }

bool TakeDirty() {
  State& s = S();
  return !s.serving.load() && s.dirty.exchange(false);
}

void CountPresent() { S().presents.fetch_add(1); }

}  // namespace Graph::Server
