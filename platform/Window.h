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

// How a window shows a picture, never what the picture is: at a whole
// scale (0: the desktop's own, see DesktopScale), full screen or not.
struct WindowLook {
  std::uint32_t scale = 1;
  bool fullScreen = false;
};

// Opens a visible, resizable window for a picture of w x h pixels, with the
// game's icon, at (x, y): its drawing area is the picture at the look's
// scale, or the whole screen when full screen; it can be made no smaller
// than the picture. A window opened while another of the same picture size
// is still open keeps that one's size and full screen (a new game keeps what
// the player chose). 0 on failure, SDL's reason on stderr.
WindowId OpenWindow(const char* title, int x, int y, int w, int h, WindowLook look = {});
void CloseWindow(WindowId window);

bool WindowHasFocus(WindowId window);
void FocusWindow(WindowId window);

// A part of the window, in pixels: columns x to x + w - 1, rows y to y + h - 1.
struct PixelRect {
  int x, y, w, h;
};

// Present, in two steps: the copy of the picture's 0x00RRGGBB pixels into
// the window surface (to be done under the caller's surface lock), then the
// update that sends the surface to the display. The picture is shown as
// PlacePicture says, every pixel a scale x scale block of its colour, the
// margin black. With `part` (picture pixels), only that part is copied, and
// `part` becomes what it covers in the window, for the update to send; it
// widens to the whole window when the window's surface is new (its old
// pixels are gone, after a resize too).
bool CopyToWindow(WindowId window, const std::uint32_t* pixels, std::uint32_t width, std::uint32_t depth,
                  PixelRect* part = nullptr);
void UpdateWindow(WindowId window, const PixelRect* part = nullptr);

enum class WindowEventKind : std::uint8_t {
  Other,         // nothing for the server
  Wake,          // WakeWindowServer
  KeyDown,       // key press or auto-repeat (not the modifier presses SDL makes up on focus gain)
  KeyUp,
  FocusChanged,  // gained or lost
  Exposed,       // the window needs painting whole: uncovered, or resized
  CloseRequest,  // close box, Alt+F4 through the window manager, quit
};

struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Other;
  WindowId window = 0;
  std::uint8_t scan = 0;  // KeyDown/KeyUp: PC set-1 scan code, 0 when the key has none
};

// Waits up to timeoutMs (negative: no limit) for the next event. False on
// time-out. F11 and Alt+Enter are the window's own: they switch between full
// screen and the window and come as Other, their releases too; Alt's own
// press and release come as any key's. The pads are served meanwhile
// (platform/Gamepad): their keys come as KeyDown and KeyUp events of window 0.
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

// Where a picture of pictureW x pictureH goes in a drawing area of
// areaW x areaH: the largest whole scale that fits, at least 1, centred (a
// picture larger than the area keeps to its top left corner).
struct Placement {
  int scale = 1;
  int x = 0, y = 0;
};
Placement PlacePicture(int areaW, int areaH, int pictureW, int pictureH);

// The desktop's whole scale factor, from the values of GDK_SCALE and of the
// X resources (XResourceManagerString; either may be null): GDK_SCALE when it
// is a whole number of 2 or more, else Xft.dpi / 96 rounded down when that
// is 2 or more, else 1.
std::uint32_t DesktopScaleFrom(const char* gdkScale, const char* xResources);

// What the last OpenWindow made, and how many windows are open: for tests.
struct WindowInfo {
  WindowId id = 0;
  int x = 0, y = 0, width = 0, depth = 0;
  int scale = 1;  // of its drawing area as opened
  int surfaceWidth = 0, surfaceDepth = 0;
  int openWindows = 0;
};
WindowInfo LastWindowInfo();

}  // namespace Platform
