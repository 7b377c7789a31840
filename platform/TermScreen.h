// TermScreen: the terminal on standard output used as a screen, our stand-in
// for the window system when there is no display. It stands for a window's
// surface and its "needs painting" events: the alternate screen with the
// cursor hidden, the terminal's size and its changes, one write of bytes at
// a time (TermPaint makes them), and a wake-up for the thread that serves it.
//
// What callers may expect:
// - Standard output is judged as it was at the first call. While the screen
//   is shown, descriptor 1 is held in a pipe of ours (platform/
//   StandardOutput), so that the program's console lines never scribble over
//   the picture; they are handed out as console text, and written to the
//   main screen, in order, when the screen is hidden. Standard error is left
//   alone.
// - The screen is hidden again (main screen, cursor shown, colours reset, the
//   held console text written out) on every way out the runtime handles:
//   HideTermScreen is a termination procedure and async-signal-safe.
// - TermScreenStop and TermScreenContinue are for SIGTSTP and SIGCONT
//   handlers: both async-signal-safe, both nothing while it is not shown.
// - Every call but WakeTermScreen and the signal-handler ones is for one
//   thread at a time (Graph's terminal view serialises them).
// Depends on: platform/StandardOutput, platform/TermPaint (the depth and
// character set), runtime.
#pragma once

#include "platform/StandardOutput.h"
#include "platform/TermPaint.h"

#include <string>
#include <string_view>

namespace Platform {

// Standard output is a terminal worth drawing on: a terminal, and TERM is
// not "dumb".
bool TermScreenUsable();

// Its size now; false when it cannot be had.
bool TermScreenSize(TermSize& size);

// From COLORTERM and TERM, and from the locale variables.
TermColours TermColourDepth();
TermCharset TermCharacters();

// Once: the wake-up pipe, the pipe that holds console text, the SIGWINCH
// handler and the termination procedure. False, with nothing done, when
// standard output is not TermScreenUsable.
bool StartTermScreen();

// Alternate screen and hidden cursor; standard output held from here on.
// Nothing when already shown.
void ShowTermScreen();

// The main screen back with the cursor shown and the colours reset, then
// the console text held since ShowTermScreen written there; standard output
// is the terminal again. Nothing when not shown. Async-signal-safe.
void HideTermScreen();

bool TermScreenShown();

// Writes all of `bytes` to the terminal, in one write unless the terminal
// takes less; nothing while the main screen is shown (not shown, stopped).
void WriteTermScreen(std::string_view bytes);

// What woke WaitTermScreen, as bits.
enum : unsigned {
  kTermWake = 1,      // WakeTermScreen
  kTermResized = 2,   // SIGWINCH
  kTermConsole = 4,   // console text is waiting: TakeConsoleText
  kTermResumed = 8,   // TermScreenContinue: the terminal may show anything
};

// Waits up to timeoutMs (negative: no limit); 0 on time-out.
unsigned WaitTermScreen(int timeoutMs);

// From any thread.
void WakeTermScreen();

// The console text that came since the last call, appended to `out`.
void TakeConsoleText(std::string& out);

// SIGTSTP: the main screen back, cursor shown, colours reset (the console
// text stays held). SIGCONT (after SIGTSTP or SIGSTOP): the alternate screen
// again, the cursor hidden, and kTermResumed for a whole repaint; nothing
// while the screen is not shown or we are not the terminal's foreground
// (continued in the background). StartTermScreen registers both as the
// runtime's stop procedures.
void TermScreenStop();
void TermScreenContinue();

}  // namespace Platform
