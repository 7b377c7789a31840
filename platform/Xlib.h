// Xlib: Xlib's functions as SDL reaches them, from the library its x11
// driver loaded: no build dependency on libX11, and nothing off X. For the
// window system and the pads (platform/Window.cpp, platform/Gamepad.cpp).
// Depends on: SDL2 video (which driver runs).
#pragma once

namespace Platform {

// The Xlib function of that name, or null: not on X, or not there.
void* XlibSymbol(const char* name);

template <class Function>
Function XlibFunction(const char* name) {
  return reinterpret_cast<Function>(XlibSymbol(name));
}

}  // namespace Platform
