// Picture: the one picture the game draws, the back buffer, alone: its
// pixels and their surface lock, and for each view that shows it what
// changed since that view's last frame, a dirty flag and the frames shown.
// It knows no view: a view attaches itself with a wake-up to be told that
// something was drawn, and takes what changed when it makes a frame. A
// headless run is a picture with no view attached.
//
// What callers may expect:
// - Drawing (Graph, on its one caller thread) and every view's frame hold
//   the surface lock while they touch the pixels. Lock order where two are
//   held: a view's own lock, then the surface lock.
// - A view is woken once when the picture goes from shown to changed for
//   it, never once per drawing call: its wake-up may be costly and bounded
//   (SDL's event queue).
// - A new picture (Make) counts as changed everywhere.
// Depends on: graph/Raster (the canvas).
#pragma once

#include "graph/Raster.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace Graph::Picture {

// Pixels of the picture, edges included; may reach past it.
struct Box {
  std::uint32_t left, top, right, bottom;
};
constexpr Box kNothing{0xFFFFFFFF, 0xFFFFFFFF, 0, 0};
constexpr Box kEverything{0, 0, 0xFFFFFFFF, 0xFFFFFFFF};

// Guards the pixels; held by every drawing command and every view's frame.
std::mutex& SurfaceLock();

// The pixels as a canvas (empty without a picture). With the surface lock held.
Raster::Canvas Canvas();

// A picture of width x depth, cleared to black, in place of any other.
// False, with a line on stderr and no picture, when there is no memory for
// it or a side is beyond what any view can show.
bool Make(std::uint32_t width, std::uint32_t depth);

// No picture any more: drawing does nothing until the next Make.
void Drop();

// ---------------------------------------------------------------- what the game says of it

// The picture as the game draws it, handed to the views at Graph::Init: its
// size, the mosaic of squares its board is made of (squares of `square`
// pixels each way, the first from pixel `origin`; 0: no mosaic), and its
// 16 standard colours (0x00RRGGBB).
struct Facts {
  std::uint32_t width = 0, depth = 0;
  std::uint32_t square = 0, origin = 0;
  std::array<std::uint32_t, 16> colours{};
};

// ---------------------------------------------------------------- drawing

// After drawing `box`, with the surface lock held: it counts as changed for
// every view. True when some view has to be told: the caller then calls
// Wake, unlocked.
bool Drawn(const Box& box);
void Wake();

// ---------------------------------------------------------------- views

// One view's place at the picture, owned by the view, which keeps it for
// the life of the process. The members below `wake` are the picture's.
struct Viewer {
  void (*wake)() = nullptr;  // told that something was drawn; any thread, unlocked

  Box changed = kNothing;  // under the surface lock
  std::atomic<bool> dirty{false};
  std::atomic<bool> framing{false};  // raised before dirty is cleared
  std::atomic<bool> toWake{false};
};

// From now on the view is told of drawing; everything counts as changed
// for it (it has shown nothing yet), and it is woken at once when there is
// a picture. At most four views at once; a fifth is never told.
void Attach(Viewer& view);
void Detach(Viewer& view);

// Whether something was drawn since the view's last TakeChanged.
bool Dirty(const Viewer& view);

// With the surface lock held, as a frame begins: what changed since the
// view's last frame (kNothing: nothing), and the view counts as clean.
Box TakeChanged(Viewer& view);

// The frame begun with TakeChanged is out; it counts.
void Framed(Viewer& view);

// Frames shown by all views together, and whether every attached view
// shows everything drawn so far (no frame under way). True with no view.
std::uint64_t Frames();
bool Shown();

}  // namespace Graph::Picture
