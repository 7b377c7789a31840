// View: the choice between the window and the terminal view.
#include "graph/View.h"

#include "graph/Server.h"
#include "graph/TermServer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Graph::View {

Plan PlanFor(const char* stackfallView, bool& known) {
  known = true;
  if (!stackfallView || !*stackfallView) return {};
  if (std::strcmp(stackfallView, "window") == 0) return {true, false};
  if (std::strcmp(stackfallView, "terminal") == 0) return {false, true};
  if (std::strcmp(stackfallView, "none") == 0) return {false, false};
  known = false;
  return {};
}

Opened Open(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth) {
  const char* asked = std::getenv("STACKFALL_VIEW");
  bool known = true;
  const Plan plan = PlanFor(asked, known);
  static bool warned = false;
  if (!known && !warned) {
    warned = true;
    std::fprintf(stderr, "Graph: STACKFALL_VIEW=%s is not window, terminal or none; it is not used\n", asked);
  }
  if (plan.window && Server::Open(x, y, width, depth)) {
    TermServer::Close();
    return Opened::Shown;
  }
  if (plan.terminal && Server::OpenNull(width, depth)) {
    switch (TermServer::Open(width, depth)) {
      case TermServer::Result::Up:
        return Opened::Shown;
      case TermServer::Result::TooSmall:
        return Opened::Pending;
      case TermServer::Result::Unavailable:
        break;
    }
  }
  Close();
  return Opened::None;
}

void Close() {
  TermServer::Close();
  Server::Close();
}

}  // namespace Graph::View
