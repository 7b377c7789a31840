// TerminalView: the picture in the terminal, when there is no display. A
// thread of its own ("termview") shows it while the view is up, driven like
// the window by the picture's dirty flag and the frame pacer: a frame when
// something was drawn, only the cells that changed, in one write. It follows
// the terminal's size (a whole repaint on a resize, a one-line request to
// enlarge while the terminal is too small) and shows the program's last
// console lines below the picture when there is room. While it is open the
// picture keeps its texts (graph/TextLayer), which it shows as text.
// What callers may expect: Open and Close come from one thread (Graph's
// caller), after the picture was made.
// Depends on: graph/Picture, graph/TextLayer, graph/TermMap,
// graph/FramePacer, platform/TermScreen, platform/TermPaint, runtime.
#pragma once

#include "graph/Picture.h"

#include <cstdint>

namespace Graph::TerminalView {

enum class Result : std::uint8_t {
  Up,           // the view shows the picture
  TooSmall,     // a terminal, but smaller than the picture needs: a console
                // line says so; the view comes up once it is enlarged
  Unavailable,  // standard output is no terminal to draw on, or the
                // picture has no mosaic to show as cells
};

// Brings the view up, or keeps it up, when standard output is a usable
// terminal of the cells the picture described by `facts` needs at least.
Result Open(const Picture::Facts& facts);

// The view down (the main screen back, with the console lines held while it
// was up), the texts no longer kept, and the thread idle. Nothing when it
// is not open.
void Close();

}  // namespace Graph::TerminalView
