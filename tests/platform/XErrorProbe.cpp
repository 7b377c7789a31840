// xerror_probe: opens a window through the platform layer, then makes two
// requests the X server refuses on SDL's own connection (an event sent to a
// window that does not exist, as a late wake-up is), and says "alive" if it
// is still running. Driven by tests/faults/display_faults.sh.
// Depends on: platform/Window, SDL2, Xlib.
#include "platform/Window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

int main() {
  if (!Platform::StartVideo()) return 2;
  const Platform::WindowId id = Platform::OpenWindow("Graph", 1, 1, 100, 100);
  SDL_SysWMinfo wm;
  SDL_VERSION(&wm.version);
  if (!id || !SDL_GetWindowWMInfo(SDL_GetWindowFromID(id), &wm) || wm.subsystem != SDL_SYSWM_X11) return 2;
  Display* display = wm.info.x11.display;
  // An id of our own range that names nothing.
  const Window nowhere = wm.info.x11.window + 0x1000;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.format = 32;
  for (int n = 0; n < 2; ++n) {
    XSendEvent(display, nowhere, False, NoEventMask, &event);
    XSync(display, False);
  }
  std::printf("alive\n");
  return 0;
}
