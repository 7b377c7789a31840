// ViewChoice: which view shows the picture, chosen here and nowhere else.
// The window when a display works; else the terminal view when standard
// output is a terminal large enough for the picture; else none, and
// Graph::Init answers FALSE. STACKFALL_VIEW narrows the choice: "window"
// (the window or nothing), "terminal" (the terminal view even with a
// display), "none". A headless run (tests, the icon maker) has the picture
// and no view at all.
// What callers may expect: one caller thread (Graph's); the picture is made
// anew by every Open that answers Shown, Pending or Headless.
// Depends on: graph/Picture, graph/WindowView, graph/TerminalView.
#pragma once

#include "graph/Picture.h"

#include <cstdint>

namespace Graph::ViewChoice {

struct Plan {
  bool window = true;    // try the window first
  bool terminal = true;  // then the terminal view
};

// What STACKFALL_VIEW asks for (null or empty: both). False in `known` for
// a value that is none of the three, which counts as unset.
Plan PlanFor(const char* stackfallView, bool& known);

// From the next Open on: no view, the picture alone, on a display of
// `displayBits` bits per pixel.
void SelectHeadless(std::uint32_t displayBits);

enum class Opened : std::uint8_t {
  Shown,     // a view shows the picture
  Headless,  // the picture and, as selected, no view
  Pending,   // the picture, and the terminal view once the terminal is enlarged
  None,      // no view and no picture
};

// Makes the picture `facts` describes and opens the view the plan allows,
// closing any other; the window's frame goes at (x, y).
Opened Open(std::uint32_t x, std::uint32_t y, const Picture::Facts& facts);

// Every view closed, the picture dropped.
void Close();

// Handed to the window view for the windows it opens from now on: the
// whole scale (0: the desktop's own) and full screen.
void SetWindowLook(std::uint32_t scale, bool fullScreen);

// Bits per pixel of the display the picture is shown on (24 with no
// display).
std::uint32_t DisplayBits();

}  // namespace Graph::ViewChoice
