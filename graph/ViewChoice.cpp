// ViewChoice: the plan from STACKFALL_VIEW, and opening what it allows.
#include "graph/ViewChoice.h"

#include "graph/TerminalView.h"
#include "graph/WindowView.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Graph::ViewChoice {
namespace {

bool headless = false;
std::uint32_t headlessBits = 24;

}  // namespace

Plan PlanFor(const char* stackfallView, bool& known) {
  known = true;
  if (!stackfallView || !*stackfallView) return {};
  if (std::strcmp(stackfallView, "window") == 0) return {true, false};
  if (std::strcmp(stackfallView, "terminal") == 0) return {false, true};
  if (std::strcmp(stackfallView, "none") == 0) return {false, false};
  known = false;
  return {};
}

void SelectHeadless(std::uint32_t displayBits) {
  headless = true;
  headlessBits = displayBits;
}

Opened Open(std::uint32_t x, std::uint32_t y, const Picture::Facts& facts) {
  Picture::Drop();
  if (headless) {
    Close();
    return Picture::Make(facts.width, facts.depth) ? Opened::Headless : Opened::None;
  }
  const char* asked = std::getenv("STACKFALL_VIEW");
  bool known = true;
  const Plan plan = PlanFor(asked, known);
  static bool warned = false;
  if (!known && !warned) {
    warned = true;
    std::fprintf(stderr, "Graph: STACKFALL_VIEW=%s is not window, terminal or none; it is not used\n", asked);
  }
  if (plan.window && WindowView::Open(x, y, facts.width, facts.depth)) {
    TerminalView::Close();
    // Made once the window stands: a size the window system refuses ends
    // the program before anything that large is allocated.
    if (Picture::Make(facts.width, facts.depth)) return Opened::Shown;
  } else if (plan.terminal) {
    WindowView::Close();
    if (Picture::Make(facts.width, facts.depth)) {
      switch (TerminalView::Open(facts)) {
        case TerminalView::Result::Up:
          return Opened::Shown;
        case TerminalView::Result::TooSmall:
          return Opened::Pending;
        case TerminalView::Result::Unavailable:
          break;
      }
    }
  }
  Close();
  return Opened::None;
}

void Close() {
  TerminalView::Close();
  WindowView::Close();
  Picture::Drop();
}

void SetWindowLook(std::uint32_t scale, bool fullScreen) { WindowView::SetWindowLook({scale, fullScreen}); }

std::uint32_t DisplayBits() { return headless ? headlessBits : WindowView::DisplayBits(); }

}  // namespace Graph::ViewChoice
