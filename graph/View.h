// View: which view shows the back buffer. The window when a display works;
// else the terminal view when standard output is a terminal large enough
// for the picture; else none, and Graph::Init answers FALSE.
// STACKFALL_VIEW narrows the choice: "window" (the window or nothing),
// "terminal" (the terminal view even with a display), "none".
// Depends on: graph/Server (the window and the back buffer),
// graph/TermServer (the terminal view).
#pragma once

#include <cstdint>

namespace Graph::View {

struct Plan {
  bool window = true;    // try the window first
  bool terminal = true;  // then the terminal view
};

// What STACKFALL_VIEW asks for (null or empty: both). False in `known` for
// a value that is none of the three, which counts as unset.
Plan PlanFor(const char* stackfallView, bool& known);

enum class Opened : std::uint8_t {
  Shown,    // a view shows the back buffer
  Pending,  // a back buffer, and the terminal view once the terminal is enlarged
  None,     // no view and no back buffer
};

// Opens the view the plan allows, closing any other, with a back buffer of
// width x depth.
Opened Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth);

// Every view closed, the back buffer dropped.
void Close();

}  // namespace Graph::View
