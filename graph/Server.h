// The window server, inside Graph: the back buffer and its surface lock, the
// server thread with its window, the handshake with Init and Exit, the
// presents and the window's keys. Graph's drawing code sees only this.
// Depends on: graph/Raster, platform/Window, platform/ConsoleInput (key records), runtime.
#pragma once

#include "graph/Raster.h"
#include "platform/ConsoleInput.h"
#include "platform/Window.h"

#include <cstdint>
#include <mutex>

namespace Graph::Server {

// Guards the back buffer; held by every drawing command and by the present.
// Lock order where two are held: window lock, then surface lock.
std::mutex& SurfaceLock();

// The back buffer as a canvas (empty without one). With the surface lock held.
Raster::Canvas BackBuffer();

// Pixels of the back buffer, edges included; may reach past it.
struct Box {
  std::uint32_t left, top, right, bottom;
};

// After drawing `box`, with the surface lock held: marks the window dirty
// and adds the box to what the next present shows. True when it went from
// clean to dirty: the caller then calls Wake, unlocked.
bool MarkDirty(const Box& box);
void Wake();

// Opens the window (starting the server the first time, closing the open
// window first on a restart) and makes a cleared back buffer of
// width x depth. False when there is no display, no server or no memory.
bool Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth);

// How the windows opened from now on show the back buffer (Graph::SetWindowLook).
void SetWindowLook(Platform::WindowLook look);

// The back buffer alone, no window: headless runs.
bool OpenNull(std::uint32_t width, std::uint32_t depth);

// Closes the window and drops the back buffer; nothing when none is open.
void Close();

// Bits per pixel of the display, known once the server has started video.
std::uint32_t DisplayBits();

// The console key record of a window key, built with the modifier state as
// it stands; then the state follows the key (Shift 42/54, Ctrl 29, Alt 56).
Platform::InputRecord KeyRecord(bool down, std::uint8_t scan, std::uint32_t& modifiers);

std::uint64_t PresentCount();
bool UpToDate();

// Another view of the back buffer (the terminal view): while `wake` is set
// and no window serves, MarkDirty answers for that view and Wake calls
// `wake`. The view takes the dirty flag (with the surface lock held) as it
// reads the back buffer, and counts its frames as presents.
void ServeOtherView(void (*wake)());
bool TakeDirty();
void CountPresent();

}  // namespace Graph::Server
