// Xlib: the library SDL loaded, looked up, never loaded afresh.
#include "platform/Xlib.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cstring>

namespace Platform {

void* XlibSymbol(const char* name) {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return nullptr;
  void* xlib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  return xlib ? ::dlsym(xlib, name) : nullptr;
}

}  // namespace Platform
