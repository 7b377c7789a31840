// WindowView: the picture in a window of its own, served by the window
// server thread. The thread starts video, makes the window when Open asks,
// shows what changed in the picture as the frame pacer allows and all of it
// when the window is uncovered, turns the window's keys into console key
// records, and closes the window when Close asks.
// What callers may expect: Open and Close come from one thread (Graph's
// caller); the window stands when Open returns true, and is gone when Close
// returns. The window never closes by itself: its close box does nothing.
// Depends on: graph/Picture, graph/FramePacer, platform/Window,
// platform/ConsoleInput (key records), runtime.
#pragma once

#include "platform/ConsoleInput.h"
#include "platform/Window.h"

#include <cstdint>

namespace Graph::WindowView {

// Opens the window with its frame at (x, y) and a drawing area of
// width x depth (starting the server the first time; on a restart the open
// window stays up until the new one shows). False when there is no
// display or the server cannot be started.
bool Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth);

// Closes the window; nothing when none is open.
void Close();

// How the windows opened from now on show the picture: the scale and full
// screen (Graph::SetWindowLook).
void SetWindowLook(Platform::WindowLook look);

// Bits per pixel of the display, known once the server has started video
// (24 before).
std::uint32_t DisplayBits();

// The console key record of a window key, built with the modifier state as
// it stands; then the state follows the key (Shift 42/54, Ctrl 29, Alt 56).
Platform::InputRecord KeyRecord(bool down, std::uint8_t scan, std::uint32_t& modifiers);

}  // namespace Graph::WindowView
