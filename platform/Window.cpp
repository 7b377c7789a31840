// The window system on SDL2 video: start-up with our hints, the window, its
// surface and the picture scaled into it, its events, the error box, the
// scan-code table, and the end of the program when the display goes away.
#include "platform/Window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/PadEvents.h"
#include "platform/SdlStart.h"
#include "platform/Xlib.h"
#include "runtime/Runtime.h"

namespace Platform {
namespace {

#include "dist/icons/stackfall-icon.inc"

std::atomic<bool> videoStarted{false};
std::atomic<std::uint32_t> wakeEventType{0};

std::mutex infoLock;
WindowInfo info;

// Held by a wake-up and by the destruction of a window: SDL sends its
// wake-up to one of our windows, on a connection of its own, and one sent to
// a window in the middle of its destruction reaches the server after it.
std::mutex wakeLock;
int windowsUp = 0;            // under wakeLock
SDL_Window* retired = nullptr;  // the window closed last, hidden; under wakeLock

// The window's data: the surface that holds the whole picture. SDL makes a
// new surface after a resize, which may come at the old one's address.
constexpr const char* kFilled = "stackfall.filled";

// What the player made of the last window: its drawing area and whether it
// was full screen, for a window of the same picture size that follows it
// while it is still open. The window server thread's own.
struct Carried {
  WindowId id = 0;
  int pictureW = 0, pictureH = 0;
  int w = 0, h = 0;  // as a window, not full screen
  bool fullScreen = false;
};
Carried carried;

// ---------------------------------------------------------------- scan codes
// SDL scancode (USB usage) -> PC set-1 make code, E0/E1 prefixes dropped.

constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> MakeScanTable() {
  std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
  // Letters A..Z.
  constexpr std::uint8_t letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                        0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = letters[i];
  // Digit row 1..9, 0.
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_1 + i] = static_cast<std::uint8_t>(0x02 + i);
  t[SDL_SCANCODE_RETURN] = 0x1C;
  t[SDL_SCANCODE_ESCAPE] = 0x01;
  t[SDL_SCANCODE_BACKSPACE] = 0x0E;
  t[SDL_SCANCODE_TAB] = 0x0F;
  t[SDL_SCANCODE_SPACE] = 0x39;
  t[SDL_SCANCODE_MINUS] = 0x0C;
  t[SDL_SCANCODE_EQUALS] = 0x0D;
  t[SDL_SCANCODE_LEFTBRACKET] = 0x1A;
  t[SDL_SCANCODE_RIGHTBRACKET] = 0x1B;
  t[SDL_SCANCODE_BACKSLASH] = 0x2B;
  t[SDL_SCANCODE_NONUSHASH] = 0x2B;
  t[SDL_SCANCODE_SEMICOLON] = 0x27;
  t[SDL_SCANCODE_APOSTROPHE] = 0x28;
  t[SDL_SCANCODE_GRAVE] = 0x29;
  t[SDL_SCANCODE_COMMA] = 0x33;
  t[SDL_SCANCODE_PERIOD] = 0x34;
  t[SDL_SCANCODE_SLASH] = 0x35;
  t[SDL_SCANCODE_CAPSLOCK] = 0x3A;
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<std::uint8_t>(0x3B + i);
  t[SDL_SCANCODE_F11] = 0x57;
  t[SDL_SCANCODE_F12] = 0x58;
  t[SDL_SCANCODE_PRINTSCREEN] = 0x37;
  t[SDL_SCANCODE_SCROLLLOCK] = 0x46;
  t[SDL_SCANCODE_PAUSE] = 0x45;
  // The grey block: the same codes as the keypad keys they double.
  t[SDL_SCANCODE_INSERT] = 0x52;
  t[SDL_SCANCODE_HOME] = 0x47;
  t[SDL_SCANCODE_PAGEUP] = 0x49;
  t[SDL_SCANCODE_DELETE] = 0x53;
  t[SDL_SCANCODE_END] = 0x4F;
  t[SDL_SCANCODE_PAGEDOWN] = 0x51;
  t[SDL_SCANCODE_RIGHT] = 0x4D;
  t[SDL_SCANCODE_LEFT] = 0x4B;
  t[SDL_SCANCODE_DOWN] = 0x50;
  t[SDL_SCANCODE_UP] = 0x48;
  // Keypad.
  t[SDL_SCANCODE_NUMLOCKCLEAR] = 0x45;
  t[SDL_SCANCODE_KP_DIVIDE] = 0x35;
  t[SDL_SCANCODE_KP_MULTIPLY] = 0x37;
  t[SDL_SCANCODE_KP_MINUS] = 0x4A;
  t[SDL_SCANCODE_KP_PLUS] = 0x4E;
  t[SDL_SCANCODE_KP_ENTER] = 0x1C;
  constexpr std::uint8_t keypad[9] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_KP_1 + i] = keypad[i];
  t[SDL_SCANCODE_KP_0] = 0x52;
  t[SDL_SCANCODE_KP_PERIOD] = 0x53;
  t[SDL_SCANCODE_KP_EQUALS] = 0x59;
  t[SDL_SCANCODE_KP_COMMA] = 0x7E;
  t[SDL_SCANCODE_NONUSBACKSLASH] = 0x56;
  t[SDL_SCANCODE_APPLICATION] = 0x5D;
  constexpr std::uint8_t f13to24[12] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
                                        0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
  for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F13 + i] = f13to24[i];
  t[SDL_SCANCODE_INTERNATIONAL1] = 0x73;
  t[SDL_SCANCODE_INTERNATIONAL2] = 0x70;
  t[SDL_SCANCODE_INTERNATIONAL3] = 0x7D;
  t[SDL_SCANCODE_INTERNATIONAL4] = 0x79;
  t[SDL_SCANCODE_INTERNATIONAL5] = 0x7B;
  // Modifiers: right Ctrl and right Alt count as the left ones.
  t[SDL_SCANCODE_LCTRL] = 0x1D;
  t[SDL_SCANCODE_LSHIFT] = 0x2A;
  t[SDL_SCANCODE_LALT] = 0x38;
  t[SDL_SCANCODE_LGUI] = 0x5B;
  t[SDL_SCANCODE_RCTRL] = 0x1D;
  t[SDL_SCANCODE_RSHIFT] = 0x36;
  t[SDL_SCANCODE_RALT] = 0x38;
  t[SDL_SCANCODE_RGUI] = 0x5C;
  return t;
}

constexpr auto kScanTable = MakeScanTable();

SDL_Window* Find(WindowId window) { return window ? SDL_GetWindowFromID(window) : nullptr; }

// ---------------------------------------------------------------- the display going away

// Mended: Xlib calls this when the connection to the X server breaks (the server
// ended, or was killed). Its own handler would call exit() from this thread
// with the others still running; we stop in order instead: the message,
// the termination procedures (the terminal given back), status 9 as for
// the other window failures. Xlib requires that it never returns.
int DisplayGone(Display*) {
  Runtime::Halt("Graph: the display is gone (the connection to the X server broke); the program ends", 9);
}

// ---------------------------------------------------------------- X protocol errors

// The X windows of ours that stand, for the error handler: lock-free, since
// Xlib may call it from inside a destruction that holds our locks.
constexpr int kWindowSlots = 4;  // a restart has two at most
std::atomic<unsigned long> liveWindows[kWindowSlots];

void NoteLiveWindow(SDL_Window* win, bool live) {
  SDL_SysWMinfo wm;
  SDL_VERSION(&wm.version);
  if (!SDL_GetWindowWMInfo(win, &wm) || wm.subsystem != SDL_SYSWM_X11) return;
  unsigned long id = wm.info.x11.window;
  for (auto& slot : liveWindows) {
    unsigned long expected = live ? 0 : id;
    if (slot.compare_exchange_strong(expected, live ? id : 0)) return;
  }
}

bool IsLiveWindow(unsigned long id) {
  for (const auto& slot : liveWindows)
    if (id != 0 && slot.load() == id) return true;
  return false;
}

using GetErrorText = int (*)(Display*, int, char*, int);
GetErrorText getErrorText = nullptr;
std::atomic<bool> errorReported{false};

// Xlib's own handler ends the program at any protocol error. Most say no
// more than that a request came too late (a wake-up that reached a window
// just destroyed): one line, and play goes on. A window of ours that
// stands for us but not for the server was destroyed by another client: as
// with the display gone, there is nothing left to play in.
int ProtocolError(Display* display, XErrorEvent* error) {
  if ((error->error_code == BadWindow || error->error_code == BadDrawable) && IsLiveWindow(error->resourceid))
    Runtime::Halt("Graph: the display is gone (another program destroyed the window); the program ends", 9);
  if (errorReported.exchange(true)) return 0;
  char text[256] = "";
  if (getErrorText) getErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "Graph: X error %d %s, request %d.%d, resource 0x%lx; play goes on (later X errors are not shown)\n",
               error->error_code, text, error->request_code, error->minor_code, error->resourceid);
  return 0;
}

// Installed once SDL's x11 driver runs, over SDL's own (which calls Xlib's,
// which ends the program). SDL's temporary handlers still work: each puts
// back the one it found, ours.
void HandleXErrors() {
  using SetIOHandler = XIOErrorHandler (*)(XIOErrorHandler);
  using SetHandler = XErrorHandler (*)(XErrorHandler);
  getErrorText = XlibFunction<GetErrorText>("XGetErrorText");
  if (auto set = XlibFunction<SetIOHandler>("XSetIOErrorHandler")) set(DisplayGone);
  if (auto set = XlibFunction<SetHandler>("XSetErrorHandler")) set(ProtocolError);
}

}  // namespace

// ---------------------------------------------------------------- start-up

bool StartVideo() {
  if (videoStarted.load()) return true;
  // The pads' thread may be serving the pads meanwhile: the window thread
  // takes them over below.
  std::lock_guard pads(Pads::StartLock());
  int started;
  {
    std::lock_guard sdl(SdlStartLock());
    // Else Ctrl+C becomes an SDL quit event that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Else every present goes through a software OpenGL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Else, with no display, SDL falls back to an offscreen driver and the
    // game never learns it has no window. The environment variable still wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    started = SDL_InitSubSystem(SDL_INIT_VIDEO);
  }
  if (started != 0) {
    // No display at all is an ordinary case the game reports itself; a
    // display that is named but cannot be used deserves its reason.
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
      std::fprintf(stderr, "Graph: cannot use the display %s: %s\n", display, SDL_GetError());
    }
    return false;
  }
  HandleXErrors();
  // Video is the window server thread's from here on.
  Runtime::NameThisThread("window");
  // Keys come from scan codes alone; no input method is wanted.
  SDL_StopTextInput();
  wakeEventType.store(SDL_RegisterEvents(1));
  Pads::ServeFromWindowThread();  // the game controllers, next to video
  videoStarted.store(true);
  return true;
}

std::uint32_t DisplayBitsPerPixel() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
  return SDL_BITSPERPIXEL(mode.format);
}

// ---------------------------------------------------------------- the window

namespace {

// The game's icon as a surface SDL copies from; the pixels live as long as
// the program.
void SetIcon(SDL_Window* win) {
  static const std::vector<std::uint32_t> pixels = [] {
    std::vector<std::uint32_t> p;
    for (const char* row : kIconRows)
      for (int x = 0; x < kIconSize; ++x) p.push_back(kIconPalette[row[x] <= '9' ? row[x] - '0' : row[x] - 'A' + 10]);
    return p;
  }();
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels.data()), kIconSize,
                                                         kIconSize, 32, kIconSize * 4, SDL_PIXELFORMAT_RGB888);
  if (!icon) return;
  SDL_SetWindowIcon(win, icon);
  SDL_FreeSurface(icon);
}

// The X resources of the display (Xft.dpi among them), on a short connection
// of our own: SDL's is not to be had before a window stands. Empty without
// them or off X.
std::string XResources() {
  using Open = Display* (*)(const char*);
  using Close = int (*)(Display*);
  using Resources = char* (*)(Display*);
  auto open = XlibFunction<Open>("XOpenDisplay");
  auto close = XlibFunction<Close>("XCloseDisplay");
  auto resources = XlibFunction<Resources>("XResourceManagerString");
  Display* display = open && close && resources ? open(nullptr) : nullptr;
  if (!display) return {};
  const char* text = resources(display);
  std::string copy = text ? text : "";
  close(display);
  return copy;
}

// The desktop's scale, no more than lets a window of w x h pixels times it
// fit the usable part of the screen at (x, y).
int FittingDesktopScale(int x, int y, int w, int h) {
  std::uint32_t scale = DesktopScaleFrom(std::getenv("GDK_SCALE"), nullptr);
  if (scale < 2) scale = DesktopScaleFrom(nullptr, XResources().c_str());
  if (scale < 2) return 1;
  SDL_Rect usable;
  const SDL_Point at{x, y};
  const int display = std::max(0, SDL_GetPointDisplayIndex(&at));
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return 1;
  return std::min(static_cast<int>(scale), PlacePicture(usable.w, usable.h, w, h).scale);
}

// The window to open for a picture of w x h: as the look asks, or as the
// player left the one still open.
Carried Planned(int x, int y, int w, int h, WindowLook look) {
  constexpr int kLargestScale = 8;
  const int scale = look.scale ? static_cast<int>(std::min<std::uint32_t>(look.scale, kLargestScale))
                               : FittingDesktopScale(x, y, w, h);
  // Deliberate: a new game's window is as the player left the last one,
  // whatever the scale asked for at start: a window that follows one still
  // open, of the same picture size (a restart; after a close, the look
  // asked for counts again).
  bool following = false;
  {
    std::lock_guard lock(wakeLock);
    following = windowsUp > 0;
  }
  if (following && carried.pictureW == w && carried.pictureH == h) return carried;
  return {0, w, h, w * scale, h * scale, look.fullScreen};
}

// Makes the planned window at (x, y), hidden until it has its icon and its
// least size, so that a window manager sees them as it takes it on.
SDL_Window* Create(const char* title, int x, int y, const Carried& made) {
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  // Full screen from the start is made over the screen: with no window
  // manager to do it, nobody would enlarge it. Its size as a window is
  // then told to SDL, for the way back.
  SDL_Rect screen{x, y, made.w, made.h};
  if (made.fullScreen) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    const SDL_Point at{x, y};
    SDL_GetDisplayBounds(std::max(0, SDL_GetPointDisplayIndex(&at)), &screen);
  }
  // Deliberate: at (x, y) at every scale, a window manager or not. SDL
  // 2.26 would turn SDL_WINDOWPOS_UNDEFINED into the middle of the screen,
  // marked as the user's own choice, so the window manager would not place
  // it either.
  SDL_Window* win = SDL_CreateWindow(title, screen.x, screen.y, screen.w, screen.h, flags);
  if (!win) {
    std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
    return nullptr;
  }
  if (made.fullScreen) {
    SDL_SetWindowPosition(win, x, y);
    SDL_SetWindowSize(win, made.w, made.h);
  }
  SDL_SetWindowMinimumSize(win, made.pictureW, made.pictureH);
  SetIcon(win);
  SDL_ShowWindow(win);
  return win;
}

}  // namespace

WindowId OpenWindow(const char* title, int x, int y, int w, int h, WindowLook look) {
  Carried made = Planned(x, y, w, h, look);
  SDL_Window* win = Create(title, x, y, made);
  if (!win) return 0;
  SDL_Surface* surface = SDL_GetWindowSurface(win);
  if (!surface) {
    std::fprintf(stderr, "SDL_GetWindowSurface: %s\n", SDL_GetError());
    SDL_DestroyWindow(win);
    return 0;
  }
  NoteLiveWindow(win, true);
  {
    std::lock_guard lock(wakeLock);
    ++windowsUp;
  }
  made.id = SDL_GetWindowID(win);
  carried = made;
  WindowInfo opened;
  opened.id = made.id;
  SDL_GetWindowPosition(win, &opened.x, &opened.y);
  SDL_GetWindowSize(win, &opened.width, &opened.depth);
  opened.scale = PlacePicture(surface->w, surface->h, w, h).scale;
  opened.surfaceWidth = surface->w;
  opened.surfaceDepth = surface->h;
  std::lock_guard lock(infoLock);
  opened.openWindows = info.openWindows + 1;
  info = opened;
  return opened.id;
}

void CloseWindow(WindowId window) {
  SDL_Window* win = Find(window);
  if (!win) return;
  NoteLiveWindow(win, false);
  {
    // Mended: a wake-up sent to this window on SDL's other connection could
    // reach the server after the destruction (a BadWindow error, which ended
    // the program): the server may serve the two connections in either
    // order. None is sent while a window goes, and the window is only
    // hidden, without its name, and destroyed at the next close, long after
    // any wake-up for it has been served.
    std::lock_guard lock(wakeLock);
    --windowsUp;
    SDL_SetWindowTitle(win, "");
    SDL_HideWindow(win);
    if (retired) SDL_DestroyWindow(retired);
    retired = win;
  }
  std::lock_guard lock(infoLock);
  --info.openWindows;
}

bool WindowHasFocus(WindowId window) {
  SDL_Window* win = Find(window);
  return win && SDL_GetKeyboardFocus() == win;
}

void FocusWindow(WindowId window) {
  if (SDL_Window* win = Find(window)) SDL_SetWindowInputFocus(win);
}

Placement PlacePicture(int areaW, int areaH, int pictureW, int pictureH) {
  if (pictureW <= 0 || pictureH <= 0) return {};
  Placement at;
  at.scale = std::max(1, std::min(areaW / pictureW, areaH / pictureH));
  at.x = std::max(0, (areaW - pictureW * at.scale) / 2);
  at.y = std::max(0, (areaH - pictureH * at.scale) / 2);
  return at;
}

namespace {

// A part of a surface, cut to it; empty when nothing of it is inside.
SDL_Rect Inside(const SDL_Surface* surface, int x0, int y0, int x1, int y1) {
  x0 = std::clamp(x0, 0, surface->w);
  y0 = std::clamp(y0, 0, surface->h);
  x1 = std::clamp(x1, x0, surface->w);
  y1 = std::clamp(y1, y0, surface->h);
  return {x0, y0, x1 - x0, y1 - y0};
}

// Paints black what lies around the picture's place `shown`.
void BlackMargins(SDL_Surface* surface, const SDL_Rect& shown) {
  const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
  const int right = shown.x + shown.w, bottom = shown.y + shown.h;
  const SDL_Rect margins[4] = {{0, 0, surface->w, shown.y},
                               {0, bottom, surface->w, surface->h - bottom},
                               {0, shown.y, shown.x, shown.h},
                               {right, shown.y, surface->w - right, shown.h}};
  for (const SDL_Rect& m : margins)
    if (m.w > 0 && m.h > 0) SDL_FillRect(surface, &m, black);
}

// Copies the window area `to` from the picture placed `at`: each picture
// row is widened once (every pixel `scale` times) into the surface's first
// row of its block, the block's other rows are copies of that one.
void CopyScaled(SDL_Surface* surface, const std::uint32_t* pixels, std::uint32_t width, const Placement& at,
                const SDL_Rect& to) {
  const int k = at.scale;
  const int bytes = surface->format->BytesPerPixel;
  const bool same = surface->format->format == SDL_PIXELFORMAT_RGB888;
  static std::vector<std::uint32_t> widened;  // the window thread's; for other pixel formats
  if (!same) widened.resize(static_cast<std::size_t>(to.w));
  auto* base = static_cast<std::uint8_t*>(surface->pixels);
  for (int y = to.y; y < to.y + to.h;) {
    const int row = (y - at.y) / k;
    const std::uint32_t* from = pixels + static_cast<std::size_t>(row) * width;
    std::uint8_t* first = base + static_cast<std::size_t>(y) * surface->pitch + static_cast<std::size_t>(to.x) * bytes;
    auto* out = same ? reinterpret_cast<std::uint32_t*>(first) : widened.data();
    if (k == 1) {
      std::memcpy(out, from + (to.x - at.x), static_cast<std::size_t>(to.w) * 4);
    } else {
      // Each picture pixel k times; the first may be cut by the area's edge.
      const std::uint32_t* in = from + (to.x - at.x) / k;
      int copies = k - (to.x - at.x) % k;
      for (int x = 0; x < to.w; copies = k) {
        const std::uint32_t p = *in++;
        for (const int end = std::min(to.w, x + copies); x < end; ++x) out[x] = p;
      }
    }
    if (!same)
      SDL_ConvertPixels(to.w, 1, SDL_PIXELFORMAT_RGB888, widened.data(), to.w * 4, surface->format->format, first,
                        surface->pitch);
    // The rest of this picture row's block, within the area.
    const int blockEnd = std::min(to.y + to.h, at.y + (row + 1) * k);
    for (++y; y < blockEnd; ++y)
      std::memcpy(base + static_cast<std::size_t>(y) * surface->pitch + static_cast<std::size_t>(to.x) * bytes, first,
                  static_cast<std::size_t>(to.w) * bytes);
  }
}

}  // namespace

bool CopyToWindow(WindowId window, const std::uint32_t* pixels, std::uint32_t width, std::uint32_t depth,
                  PixelRect* part) {
  SDL_Window* win = Find(window);
  if (!win) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(win);
  if (!surface) return false;
  const int w = static_cast<int>(std::min<std::uint32_t>(width, 0x7FFF));
  const int h = static_cast<int>(std::min<std::uint32_t>(depth, 0x7FFF));
  if (w <= 0 || h <= 0 || !pixels) return true;
  const Placement at = PlacePicture(surface->w, surface->h, w, h);
  const SDL_Rect shown = Inside(surface, at.x, at.y, at.x + w * at.scale, at.y + h * at.scale);
  // A surface made afresh holds none of the picture yet, nor its margins.
  const bool fresh = SDL_GetWindowData(win, kFilled) != surface;
  SDL_SetWindowData(win, kFilled, surface);
  SDL_Rect to = shown;
  if (part && !fresh) {
    const int x0 = std::clamp(part->x, 0, w), y0 = std::clamp(part->y, 0, h);
    const int x1 = std::clamp(part->x + part->w, x0, w), y1 = std::clamp(part->y + part->h, y0, h);
    to = Inside(surface, at.x + x0 * at.scale, at.y + y0 * at.scale, at.x + x1 * at.scale, at.y + y1 * at.scale);
  }
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  if (fresh) BlackMargins(surface, shown);
  if (to.w > 0 && to.h > 0) CopyScaled(surface, pixels, width, at, to);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  if (part) *part = fresh ? PixelRect{0, 0, surface->w, surface->h} : PixelRect{to.x, to.y, to.w, to.h};
  return true;
}

void UpdateWindow(WindowId window, const PixelRect* part) {
  SDL_Window* win = Find(window);
  if (!win) return;
  if (!part) {
    SDL_UpdateWindowSurface(win);
  } else if (part->w > 0 && part->h > 0) {
    const SDL_Rect rect{part->x, part->y, part->w, part->h};
    SDL_UpdateWindowSurfaceRects(win, &rect, 1);
  }
}

// ---------------------------------------------------------------- events

namespace {

// On focus gain SDL makes up a key-down for each modifier held down in
// another window, in the same pump as the focus event. The window thread's
// own state: WaitWindowEvent runs there only.
bool madeUpMayFollow = false;
std::uint32_t focusGainedAt = 0;
// Longer than SDL's two round trips to the server, shorter than a hand.
constexpr std::uint32_t kMadeUpWithinMs = 200;

bool MadeUpModifierDown(const SDL_KeyboardEvent& key) {
  const bool modifier = (key.keysym.scancode >= SDL_SCANCODE_LCTRL && key.keysym.scancode <= SDL_SCANCODE_RGUI) ||
                        key.keysym.scancode == SDL_SCANCODE_MODE;
  return madeUpMayFollow && modifier && key.state == SDL_PRESSED && !key.repeat &&
         key.timestamp - focusGainedAt <= kMadeUpWithinMs;
}

// The keys whose press went to the window rather than the game: their
// releases go the same way, held or not what came with them.
std::array<bool, SDL_NUM_SCANCODES> windowsOwn{};

// Deliberate: F11 and Alt+Enter switch between full screen and the window,
// as in most games on a desktop, and never reach the game (neither has a
// use in it); Alt's own press and release still do. True when `key` was one
// of them, or the release of one.
bool WindowsOwnKey(const SDL_KeyboardEvent& key) {
  const SDL_Scancode code = key.keysym.scancode;
  if (code < 0 || code >= SDL_NUM_SCANCODES) return false;
  if (key.state == SDL_RELEASED) return std::exchange(windowsOwn[code], false);
  const bool enter = code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER;
  if (code != SDL_SCANCODE_F11 && !(enter && (key.keysym.mod & KMOD_ALT))) return false;
  windowsOwn[code] = true;
  SDL_Window* win = SDL_GetWindowFromID(key.windowID);
  if (!win || key.repeat) return true;
  const bool full = (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (SDL_SetWindowFullscreen(win, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0 || key.windowID != carried.id)
    return true;
  carried.fullScreen = !full;
  // A window that began full screen has no other size for the window
  // manager to go back to: it is given its own.
  int w = 0, h = 0;
  SDL_GetWindowSize(win, &w, &h);
  if (full && (w != carried.w || h != carried.h)) SDL_SetWindowSize(win, carried.w, carried.h);
  return true;
}

// Keeps the size the player gave the window, for the next one.
void NoteResize(const SDL_WindowEvent& resized) {
  SDL_Window* win = SDL_GetWindowFromID(resized.windowID);
  if (!win) return;
  SDL_SetWindowData(win, kFilled, nullptr);
  if (resized.windowID == carried.id && !(SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN)) {
    carried.w = resized.data1;
    carried.h = resized.data2;
  }
}

}  // namespace

bool WaitWindowEvent(WindowEvent& event, int timeoutMs) {
  SDL_Event e;
  Pads::Key pad;
  const Pads::Got got = Pads::Wait(e, pad, timeoutMs);
  if (got == Pads::Got::Nothing) return false;
  event = WindowEvent{};
  if (got == Pads::Got::PadKey) {
    event.kind = pad.down ? WindowEventKind::KeyDown : WindowEventKind::KeyUp;
    event.scan = pad.scan;
    return true;
  }
  if (e.type == wakeEventType.load()) {
    event.kind = WindowEventKind::Wake;
    return true;
  }
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      // Mended: Shift held through a window switch would make the next a an
      // A. The key-down SDL makes up at the focus gain is no press; the
      // modifier's state comes back with its next real press.
      if (MadeUpModifierDown(e.key)) break;
      madeUpMayFollow = false;
      if (WindowsOwnKey(e.key)) break;
      event.kind = e.type == SDL_KEYDOWN ? WindowEventKind::KeyDown : WindowEventKind::KeyUp;
      event.window = e.key.windowID;
      event.scan = Set1ScanCode(e.key.keysym.scancode);
      break;
    case SDL_WINDOWEVENT:
      event.window = e.window.windowID;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          madeUpMayFollow = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
          focusGainedAt = e.window.timestamp;
          event.kind = WindowEventKind::FocusChanged;
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
          event.kind = WindowEventKind::Exposed;
          break;
        case SDL_WINDOWEVENT_CLOSE:
          event.kind = WindowEventKind::CloseRequest;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // The new size may call for another scale; the new surface holds nothing.
          NoteResize(e.window);
          event.kind = WindowEventKind::Exposed;
          break;
        default:
          break;
      }
      break;
    case SDL_QUIT:
      event.kind = WindowEventKind::CloseRequest;
      break;
    case SDL_MOUSEBUTTONDOWN:
      madeUpMayFollow = false;
      break;
    default:
      break;
  }
  return true;
}

void WakeWindowServer() {
  if (!videoStarted.load()) return;
  // With no window the server waits for a request, not for an event.
  std::lock_guard lock(wakeLock);
  if (windowsUp == 0) return;
  SDL_Event e{};
  e.type = wakeEventType.load();
  SDL_PushEvent(&e);
}

// ---------------------------------------------------------------- errors, tables, information

void ErrorBox(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  std::fflush(stderr);
  // Only a real display has someone to read the box; the offscreen and
  // dummy drivers of the tests do not.
  if (!videoStarted.load()) return;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0)
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", message, nullptr);
}

std::uint32_t DesktopScaleFrom(const char* gdkScale, const char* xResources) {
  // A whole number of up to four digits and nothing else; 0 for anything else.
  const auto whole = [](const char* text, const char* end) {
    std::uint32_t n = 0;
    const char* p = text;
    for (; p != end && *p >= '0' && *p <= '9' && p - text < 4; ++p) n = n * 10 + static_cast<std::uint32_t>(*p - '0');
    return p == text || p != end ? 0u : n;
  };
  if (gdkScale) {
    const std::uint32_t n = whole(gdkScale, gdkScale + std::strlen(gdkScale));
    if (n >= 2) return n;
  }
  constexpr std::string_view kDpi = "Xft.dpi:";
  const std::string_view all = xResources ? xResources : "";
  for (std::size_t at = 0; at < all.size();) {
    std::size_t end = all.find('\n', at);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(at, end - at);
    at = end + 1;
    if (line.substr(0, kDpi.size()) != kDpi) continue;
    line.remove_prefix(kDpi.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    // The whole dots per inch; a fraction cannot reach the next multiple of 96.
    const std::size_t digits = std::min(line.find_first_not_of("0123456789"), line.size());
    const std::uint32_t dpi = whole(line.data(), line.data() + digits);
    if (dpi / 96 >= 2) return dpi / 96;
  }
  return 1;
}

std::uint8_t Set1ScanCode(int usbScancode) {
  if (usbScancode < 0 || usbScancode >= SDL_NUM_SCANCODES) return 0;
  return kScanTable[static_cast<std::size_t>(usbScancode)];
}

WindowInfo LastWindowInfo() {
  std::lock_guard lock(infoLock);
  return info;
}

}  // namespace Platform
