// The window system: our stand-in for the Windows window manager, on SDL2's
// video subsystem. Everything here except WakeWindowServer and the
// informational calls runs on the window server thread of Graph only; Graph
// owns the thread, the back buffer and the locks, this layer owns SDL.
// Depends on: SDL2, platform/Gamepad (served from here), runtime.
#pragma once

#include <cstdint>

namespace Platform {

using WindowId = std::uint32_t;  // 0: no window

// Sets the hints (no signal handlers, no accelerated framebuffer, the x11
// driver unless SDL_VIDEODRIVER says otherwise) and starts SDL video. False,
// quietly, when there is no display. Only the video subsystem is touched:
// the sound module uses SDL audio in the same process. From then on, should
// the X display go away or another client destroy a window of ours, the
// program ends through Runtime::Halt with a message and status 9; any other
// X protocol error is shown once on stderr and the program goes on.
bool StartVideo();

// Bits per pixel of the desktop (24 on a true-colour X display).
std::uint32_t DisplayBitsPerPixel();

// Opens a visible, fixed-size window with its drawing area of w x h pixels
// at (x, y). 0 on failure, SDL's reason on stderr.
WindowId OpenWindow(const char* title, int x, int y, int w, int h);
void CloseWindow(WindowId window);

bool WindowHasFocus(WindowId window);
void FocusWindow(WindowId window);

// A part of the window, in pixels: columns x to x + w - 1, rows y to y + h - 1.
struct PixelRect {
  int x, y, w, h;
};

// Present, in two steps: the copy of 0x00RRGGBB pixels into the window
// surface (to be done under the caller's surface lock), then the update that
// sends the surface to the display. With `part`, only that part is copied and
// sent; the copy widens it to the whole window when the window's surface is
// new (its old pixels are gone).
bool CopyToWindow(WindowId window, const std::uint32_t* pixels, std::uint32_t width, std::uint32_t depth,
                  PixelRect* part = nullptr);
void UpdateWindow(WindowId window, const PixelRect* part = nullptr);

enum class WindowEventKind : std::uint8_t {
  Other,         // nothing for the server
  Wake,          // WakeWindowServer
  KeyDown,       // key press or auto-repeat (not the modifier presses SDL makes up on focus gain)
  KeyUp,
  FocusChanged,  // gained or lost
  Exposed,       // the window needs painting
  CloseRequest,  // close box, Alt+F4 through the window manager, quit
};

struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Other;
  WindowId window = 0;
  std::uint8_t scan = 0;  // KeyDown/KeyUp: PC set-1 scan code, 0 when the key has none
};

// Waits up to timeoutMs (negative: no limit) for the next event. False on
// time-out. The pads are served meanwhile (platform/Gamepad): their keys
// come as KeyDown and KeyUp events of window 0.
bool WaitWindowEvent(WindowEvent& event, int timeoutMs);

// From any thread: wakes the server out of WaitWindowEvent with a Wake
// event. Does nothing while video is not started or no window is open;
// never at the same time as CloseWindow.
void WakeWindowServer();

// An error the user must see: the message on stderr and, where a real
// display exists, an error box that waits to be dismissed.
void ErrorBox(const char* message);

// PC set-1 scan code of an SDL scancode (a USB usage code), the E0 prefix
// dropped: grey Left and keypad 4 both give 4BH. 0 when the key has none.
std::uint8_t Set1ScanCode(int usbScancode);

// What the last OpenWindow made, and how many windows are open: for tests.
struct WindowInfo {
  WindowId id = 0;
  int x = 0, y = 0, width = 0, depth = 0;
  int surfaceWidth = 0, surfaceDepth = 0;
  int openWindows = 0;
};
WindowInfo LastWindowInfo();

}  // namespace Platform
