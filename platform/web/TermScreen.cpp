// The terminal as a screen in the browser: unavailable, as there is no terminal to
// draw on; the page's canvas is the window. Nothing is ever shown, so the
// calls that only make sense while the view is up do nothing.
#include "platform/TermScreen.h"

#include <chrono>
#include <thread>

namespace Platform {

bool TermScreenUsable() { return false; }

bool TermScreenSize(TermSize&) { return false; }

TermColours TermColourDepth() { return TermColours::Ansi16; }

TermCharset TermCharacters() { return TermCharset::Ascii; }

bool StartTermScreen() { return false; }

void ShowTermScreen() {}

void HideTermScreen() {}

bool TermScreenShown() { return false; }

void WriteTermScreen(std::string_view) {}

// No event ever comes: the wait is only a wait.
unsigned WaitTermScreen(int timeoutMs) {
  do std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs < 0 ? 60'000 : timeoutMs));
  while (timeoutMs < 0);
  return 0;
}

void WakeTermScreen() {}

void TakeConsoleText(std::string&) {}

void TermScreenStop() {}

void TermScreenContinue() {}

}  // namespace Platform
