// WindowView: the window server thread, the handshake with Open and Close,
// the presents and the window's keys.
//
// Mended: a thread could take the signal it gave itself, and the search for
// the console window could loop for ever. The handshake is a state word
// under the window lock with one condition variable per direction: the
// caller signals only `toServer` and waits only on `toCaller`, the server the
// other way round. The console window is not looked for: nothing used its
// handle, and a terminal has no window.
#include "graph/WindowView.h"

#include "graph/FramePacer.h"
#include "graph/Picture.h"

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

namespace Graph::WindowView {
namespace {

using Clock = FramePacer::Clock;
// Presents a quiet spell saves up: a key's redraw just after a fall's is
// shown at once, drawing that goes on is held to one present a frame. No
// settle: a present half done is followed by the rest within the frame.
constexpr int kSaved = 3;
constexpr std::chrono::milliseconds kSettle{0};

enum class Phase : std::uint8_t {
  NotStarted,  // no server thread
  Starting,    // the thread is starting video
  Failed,      // video would not start; the server waits for a retry
  Closed,      // video runs, no window; the server waits for an open request
  Open,        // the window stands
};

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

  Picture::Viewer viewer;  // attached while a window serves
};

// Made on first use by the caller's thread and never freed: the server
// thread lives until the process ends and must never see it destroyed.
State* state = nullptr;

State& S() {
  if (!state) {
    state = new State;
    state->viewer.wake = Platform::WakeWindowServer;
  }
  return *state;
}

int ScreenCoordinate(std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0x7FFF)); }
int Extent(std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0x7FFFFFFF)); }

// ---------------------------------------------------------------- server thread

// Shows what changed since the last present, or with `whole` everything.
void Present(State& s, Platform::WindowId window, bool whole = false) {
  std::lock_guard windowLock(s.windowLock);
  Platform::PixelRect part{0, 0, 0, 0};
  {
    std::lock_guard surfaceLock(Picture::SurfaceLock());
    const Picture::Box box = Picture::TakeChanged(s.viewer);
    const Raster::Canvas c = Picture::Canvas();
    // Copying only the changed part is what keeps a falling piece cheap:
    // a whole window is some 1.3 MB a present.
    if (whole || box.left <= box.right) {
      part = whole ? Platform::PixelRect{0, 0, 0x7FFF, 0x7FFF}
                   : Platform::PixelRect{ScreenCoordinate(box.left), ScreenCoordinate(box.top),
                                         ScreenCoordinate(box.right) - ScreenCoordinate(box.left) + 1,
                                         ScreenCoordinate(box.bottom) - ScreenCoordinate(box.top) + 1};
      Platform::CopyToWindow(window, c.pixels, c.width, c.depth, &part);
    }
  }
  Platform::UpdateWindow(window, &part);
  Picture::Framed(s.viewer);
}

// Mended: keys typed faster than the key reader took them filled the
// console buffer, and the rest were dropped unheard (no bell, not counted).
// As the terminal's keys do, each waits for room, a bounded while: with no
// reader at all the window must go on.
void Deliver(const Platform::InputRecord& record) {
  constexpr int kRoomWaitMs = 50;
  Platform::WriteConsoleInputWithin(record, kRoomWaitMs);
}

// Runs the window's events until a close is asked for; returns whether the
// window is to stay up until the next one shows.
bool Serve(State& s, Platform::WindowId window) {
  std::uint32_t modifiers = 0;
  FramePacer pacer(kSettle, kSaved);
  for (;;) {
    int timeoutMs = -1;
    if (Picture::Dirty(s.viewer)) {
      const auto now = Clock::now();
      pacer.Drawn(now);
      timeoutMs = pacer.WaitMs(now);
      if (timeoutMs == 0) {
        Present(s, window);
        pacer.Framed(now);
        continue;
      }
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
          pacer.Framed(Clock::now());
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
    Picture::Attach(s.viewer);
    s.toCaller.notify_all();

    const bool keep = Serve(s, window);
    Picture::Detach(s.viewer);
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

// ---------------------------------------------------------------- caller's side

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

}  // namespace

bool Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth) {
  State& s = S();
  std::unique_lock lock(s.windowLock);
  if (s.phase == Phase::Open) CloseLocked(s, lock, true);
  if (!StartServerLocked(s, lock)) return false;
  s.x = ScreenCoordinate(x);
  s.y = ScreenCoordinate(y);
  s.width = Extent(width);
  s.depth = Extent(depth);
  s.openWanted = true;
  s.toServer.notify_one();
  s.toCaller.wait(lock, [&] { return s.phase == Phase::Open; });
  return true;
}

void SetWindowLook(Platform::WindowLook look) {
  State& s = S();
  std::lock_guard lock(s.windowLock);
  s.look = look;
}

void Close() {
  State& s = S();
  std::unique_lock lock(s.windowLock);
  if (s.phase == Phase::Open) CloseLocked(s, lock, false);
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

}  // namespace Graph::WindowView
