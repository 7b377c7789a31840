// TermView: the terminal on standard output used as a screen, our stand-in
// for the window system when there is no display. It stands for the
// window's surface and its "needs painting" events: the alternate screen
// with the cursor hidden, the terminal's size and its changes, one write of
// bytes at a time (TermPaint makes them), and a wake-up for the thread that
// serves it.
//
// What callers may expect:
// - Standard output is judged as it was at the first call: while the view
//   is shown, the program's standard output goes into a pipe of ours
//   instead, so that its console lines never scribble over the picture.
//   They are handed out as console text, and written to the main screen,
//   in order, when the view is hidden. Standard error is left alone.
// - The view is hidden again (main screen, cursor shown, colours reset, the
//   held console text written out) on every way out the runtime handles:
//   HideTermView is a termination procedure and async-signal-safe.
// - TermViewStop and TermViewContinue are for SIGTSTP and SIGCONT handlers:
//   both async-signal-safe, both nothing while the view is not shown.
// - Every call but WakeTermView and the signal-handler ones is for one
//   thread at a time (Graph's terminal view serialises them).
// Depends on: platform/TermPaint (the depth and character set), runtime.
#pragma once

#include "platform/TermPaint.h"

#include <string>
#include <string_view>

namespace Platform {

struct TermSize {
  int columns = 0;
  int rows = 0;
};

// Standard output is a terminal worth drawing on: a terminal, and TERM is
// not "dumb".
bool TermUsable();

// Its size now; false when it cannot be had.
bool GetTermSize(TermSize& size);

// From COLORTERM and TERM, and from the locale variables.
TermColours TermColourDepth();
TermCharset TermCharacters();

// Once: the wake-up pipe, the pipe that holds console text, the SIGWINCH
// handler and the termination procedure. False, with nothing done, when
// standard output is not TermUsable.
bool StartTermView();

// Alternate screen and hidden cursor; standard output held from here on.
// Nothing when already shown.
void ShowTermView();

// The main screen back with the cursor shown and the colours reset, then
// the console text held since ShowTermView written there; standard output
// is the terminal again. Nothing when not shown. Async-signal-safe.
void HideTermView();

bool TermViewShown();

// Writes all of `bytes` to the terminal, in one write unless the terminal
// takes less; nothing while the main screen is shown (not shown, stopped).
void WriteTerm(std::string_view bytes);

// What woke WaitTermEvents, as bits.
enum : unsigned {
  kTermWake = 1,      // WakeTermView
  kTermResized = 2,   // SIGWINCH
  kTermConsole = 4,   // console text is waiting: TakeConsoleText
  kTermResumed = 8,   // TermViewContinue: the terminal may show anything
};

// Waits up to timeoutMs (negative: no limit); 0 on time-out.
unsigned WaitTermEvents(int timeoutMs);

// From any thread.
void WakeTermView();

// The console text that came since the last call, appended to `out`.
void TakeConsoleText(std::string& out);

// SIGTSTP: the main screen back, cursor shown, colours reset (the console
// text stays held). SIGCONT (after SIGTSTP or SIGSTOP): the alternate screen
// again, the cursor hidden, and kTermResumed for a whole repaint; nothing
// while the view is not shown or we are not the terminal's foreground
// (continued in the background). StartTermView registers both as the
// runtime's stop procedures.
void TermViewStop();
void TermViewContinue();

}  // namespace Platform
