// The terminal view in the browser: unavailable, as there is no terminal to
// draw on; the page's canvas is the window. Nothing is ever shown, so the
// calls that only make sense while the view is up do nothing.
#include "platform/TermView.h"

#include <chrono>
#include <thread>

namespace Platform {

bool TermUsable() { return false; }

bool GetTermSize(TermSize&) { return false; }

TermColours TermColourDepth() { return TermColours::Ansi16; }

TermCharset TermCharacters() { return TermCharset::Ascii; }

bool StartTermView() { return false; }

void ShowTermView() {}

void HideTermView() {}

bool TermViewShown() { return false; }

void WriteTerm(std::string_view) {}

// No event ever comes: the wait is only a wait.
unsigned WaitTermEvents(int timeoutMs) {
  do std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs < 0 ? 60'000 : timeoutMs));
  while (timeoutMs < 0);
  return 0;
}

void WakeTermView() {}

void TakeConsoleText(std::string&) {}

void TermViewStop() {}

void TermViewContinue() {}

}  // namespace Platform
