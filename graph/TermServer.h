// The terminal view, inside Graph: a thread of its own ("termview") shows
// the back buffer in the terminal while the view is up, driven by the
// back buffer's dirty flag like the window: a frame when something was
// drawn, at most one a display frame, only the cells that changed, in one
// write. It follows the terminal's size (a whole repaint on a resize, a
// one-line request to enlarge while the terminal is too small) and shows
// the program's last console lines below the picture when there is room.
// Depends on: graph/Server (the back buffer), graph/TermMap,
// platform/TermView, platform/TermPaint.
#pragma once

#include <cstdint>

namespace Graph::TermServer {

enum class Result : std::uint8_t {
  Up,           // the view shows the back buffer
  TooSmall,     // a terminal, but smaller than the picture needs: a console
                // line says so; the view comes up once it is enlarged
  Unavailable,  // standard output is no terminal to draw on
};

// With a back buffer of width x depth just made (Server::OpenNull): brings
// the view up, or keeps it up, when standard output is a usable terminal of
// GridFor(width, depth) cells at least.
Result Open(std::uint32_t width, std::uint32_t depth);

// The view down (the main screen back, with the console lines held while it
// was up) and the thread idle. Nothing when it is not up.
void Close();

}  // namespace Graph::TermServer
