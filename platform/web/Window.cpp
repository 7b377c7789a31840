// The window system in a web page: the page's canvas is the window. The
// window server (graph's own, unchanged) runs on a thread of its own as it
// does over SDL; what it presents is copied into an RGBA buffer of ours and
// put on the canvas by the browser's main thread (putImageData of the part
// that changed). Keys and focus come from callbacks on the browser's main
// thread, which only put an event in our queue and wake the server: nothing
// there ever waits for a lock or a thread. The page's own script
// (shell.html, `stackfallPage`) sizes the canvas and draws.
#include "platform/Window.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/threading.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/web/KeyCodes.h"
#include "runtime/Runtime.h"

namespace Platform {
namespace {

std::atomic<bool> videoStarted{false};

std::mutex infoLock;
WindowInfo info;
std::atomic<int> windowsUp{0};
std::atomic<WindowId> openId{0};  // the window keys go to; read by the page's callbacks

// ---------------------------------------------------------------- the queue

// Written by the browser's main thread alone (its callbacks), read by the
// window server alone: a ring of events with no lock. A wake-up may come
// from any thread and is a flag beside it. `posted` counts both, and is what
// the server sleeps on.
constexpr std::uint32_t kQueueSize = 256;  // far more than keys typed between two looks
std::array<WindowEvent, kQueueSize> ring;
std::atomic<std::uint32_t> head{0};  // next to read; the server's
std::atomic<std::uint32_t> tail{0};  // next to write; the main thread's
std::atomic<bool> wakeWanted{false};
std::atomic<std::uint32_t> posted{0};

void Signal() {
  posted.fetch_add(1);
  emscripten_futex_wake(&posted, INT_MAX);
}

// On the browser's main thread. A full queue drops the event, as a full
// keyboard buffer drops a key.
void Post(const WindowEvent& event) {
  const std::uint32_t t = tail.load(std::memory_order_relaxed);
  if (t - head.load(std::memory_order_acquire) >= kQueueSize) return;
  ring[t % kQueueSize] = event;
  tail.store(t + 1, std::memory_order_release);
  Signal();
}

bool Take(WindowEvent& event) {
  if (wakeWanted.exchange(false)) {
    event = WindowEvent{};
    event.kind = WindowEventKind::Wake;
    return true;
  }
  const std::uint32_t h = head.load(std::memory_order_relaxed);
  if (h == tail.load(std::memory_order_acquire)) return false;
  event = ring[h % kQueueSize];
  head.store(h + 1, std::memory_order_release);
  return true;
}

// ---------------------------------------------------------------- page events

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* key, void*) {
  WindowEvent event;
  event.kind = type == EMSCRIPTEN_EVENT_KEYDOWN ? WindowEventKind::KeyDown : WindowEventKind::KeyUp;
  event.window = openId.load();
  event.scan = KeyCodes::ScanOfCode(key->code);
  // Every key goes to the game, as every key of the window does; only the
  // browser's default action depends on the key.
  if (event.window != 0 && event.scan != 0) Post(event);
  return KeyCodes::KeepFromBrowser(key->code, key->ctrlKey, key->altKey, key->metaKey);
}

// The page losing or gaining the focus: the server clears its modifier
// state, so that a Shift held through Alt+Tab does not stay down for the game.
EM_BOOL OnFocus(int, const EmscriptenFocusEvent*, void*) {
  WindowEvent event;
  event.kind = WindowEventKind::FocusChanged;
  event.window = openId.load();
  if (event.window != 0) Post(event);
  return EM_FALSE;
}

// On the browser's main thread, once: the callbacks run there, so that a
// key's default action can still be prevented.
void ListenToPage() {
  const pthread_t main = EM_CALLBACK_THREAD_CONTEXT_MAIN_BROWSER_THREAD;
  const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback_on_thread(page, nullptr, EM_TRUE, OnKey, main);
  emscripten_set_keyup_callback_on_thread(page, nullptr, EM_TRUE, OnKey, main);
  emscripten_set_blur_callback_on_thread(page, nullptr, EM_TRUE, OnFocus, main);
  emscripten_set_focus_callback_on_thread(page, nullptr, EM_TRUE, OnFocus, main);
}

// ---------------------------------------------------------------- the picture

// The part of the picture to be put on the canvas next, as RGBA bytes, row
// after row: the server thread's alone (UpdateWindow waits until the page
// has taken it).
std::vector<std::uint32_t> staging;
PixelRect staged{0, 0, 0, 0};
bool canvasFilled = false;  // the canvas holds a whole picture of the open window

// 0x00RRGGBB as the bytes R, G, B, 255 in memory.
std::uint32_t Rgba(std::uint32_t p) { return 0xFF000000u | (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF); }

}  // namespace

// ---------------------------------------------------------------- start-up

bool StartVideo() {
  if (videoStarted.load()) return true;
  // A page without our canvas (the program loaded by something else) has
  // no display.
  if (!MAIN_THREAD_EM_ASM_INT({ return typeof stackfallPage != 'undefined' && stackfallPage.hasCanvas() ? 1 : 0; }))
    return false;
  emscripten_sync_run_in_main_runtime_thread(EM_FUNC_SIG_V, ListenToPage);
  Runtime::NameThisThread("window");
  videoStarted.store(true);
  return true;
}

std::uint32_t DisplayBitsPerPixel() { return 24; }

// ---------------------------------------------------------------- the window

// The page scales the canvas to fit itself: the look is the desktop's.
WindowId OpenWindow(const char* /*title: the page has its own*/, int x, int y, int w, int h, WindowLook /*look*/) {
  if (w <= 0 || h <= 0 || !MAIN_THREAD_EM_ASM_INT({ return stackfallPage.openCanvas($0, $1); }, w, h)) {
    std::fprintf(stderr, "Graph: the page has no canvas of %d x %d\n", w, h);
    return 0;
  }
  canvasFilled = false;
  windowsUp.fetch_add(1);
  std::lock_guard lock(infoLock);
  WindowInfo made;
  made.id = info.id + 1;
  made.x = x;
  made.y = y;
  made.width = made.surfaceWidth = w;
  made.depth = made.surfaceDepth = h;
  made.openWindows = info.openWindows + 1;
  info = made;
  openId.store(made.id);
  return made.id;
}

// The canvas keeps the last picture until the next window covers it.
void CloseWindow(WindowId window) {
  if (window == 0) return;
  windowsUp.fetch_sub(1);
  WindowId expected = window;
  openId.compare_exchange_strong(expected, 0);
  std::lock_guard lock(infoLock);
  --info.openWindows;
}

bool WindowHasFocus(WindowId window) {
  return window != 0 && MAIN_THREAD_EM_ASM_INT({ return document.hasFocus() ? 1 : 0; });
}

void FocusWindow(WindowId) {}  // the page has the focus the browser gives it

bool CopyToWindow(WindowId window, const std::uint32_t* pixels, std::uint32_t width, std::uint32_t depth,
                  PixelRect* part) {
  WindowInfo now = LastWindowInfo();
  if (window == 0 || window != now.id || now.openWindows == 0) return false;
  const int w = std::min<int>(now.surfaceWidth, static_cast<int>(std::min<std::uint32_t>(width, 0x7FFF)));
  const int h = std::min<int>(now.surfaceDepth, static_cast<int>(std::min<std::uint32_t>(depth, 0x7FFF)));
  staged = {0, 0, 0, 0};
  if (w <= 0 || h <= 0 || !pixels) return true;
  // A canvas made afresh holds none of the picture yet.
  PixelRect whole{0, 0, w, h};
  PixelRect r = part && canvasFilled ? *part : whole;
  canvasFilled = true;
  const int x0 = std::clamp(r.x, 0, w), y0 = std::clamp(r.y, 0, h);
  const int x1 = std::clamp(r.x + r.w, x0, w), y1 = std::clamp(r.y + r.h, y0, h);
  staged = {x0, y0, x1 - x0, y1 - y0};
  if (part) *part = staged;
  staging.resize(static_cast<std::size_t>(staged.w) * staged.h);
  for (int row = 0; row < staged.h; ++row) {
    const std::uint32_t* from = pixels + static_cast<std::size_t>(y0 + row) * width + x0;
    std::transform(from, from + staged.w, staging.begin() + static_cast<std::ptrdiff_t>(row) * staged.w, Rgba);
  }
  return true;
}

void UpdateWindow(WindowId window, const PixelRect* /*the part copied last*/) {
  if (window == 0 || staged.w <= 0 || staged.h <= 0) return;
  // Waits for the page: the staging buffer is reused by the next copy.
  MAIN_THREAD_EM_ASM({ stackfallPage.present(HEAPU8.subarray($0, $0 + $3 * $4 * 4), $1, $2, $3, $4); },
                     staging.data(), staged.x, staged.y, staged.w, staged.h);
  staged = {0, 0, 0, 0};
}

// ---------------------------------------------------------------- events

bool WaitWindowEvent(WindowEvent& event, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    // Read the count first: whatever is posted after it wakes the wait below.
    const std::uint32_t seen = posted.load();
    if (Take(event)) return true;
    double waitMs = INFINITY;
    if (timeoutMs >= 0) {
      waitMs = std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
      if (waitMs <= 0) return false;
    }
    emscripten_futex_wait(&posted, seen, waitMs);
  }
}

void WakeWindowServer() {
  // With no window the server waits for a request, not for an event.
  if (!videoStarted.load() || windowsUp.load() == 0) return;
  wakeWanted.store(true);
  Signal();
}

// ---------------------------------------------------------------- errors, tables, information

// The page shows standard error under the canvas.
void ErrorBox(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  std::fflush(stderr);
}

std::uint8_t Set1ScanCode(int usbScancode) { return KeyCodes::ScanOfUsage(usbScancode); }

WindowInfo LastWindowInfo() {
  std::lock_guard lock(infoLock);
  return info;
}

}  // namespace Platform
