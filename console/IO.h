// IO: console text output, the game's key reading entry points, and line
// input through the standard input channel. Output and line input go through
// the procedure variables WrStrRedirect and RdStrRedirect, so that tests can
// capture every byte the game writes and feed the lines it reads.
// Depends on: BiosIO (keys), LineDevice (lines), platform/Terminal (output).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace IO {

// The output half and the public variables. Once.
void Init();

// ---------------------------------------------------------------- keys (BiosIO's, unchanged)

bool KeyPressed();
char RdKey();

// ---------------------------------------------------------------- text out

// Writes the characters of `s` up to, not including, its first NUL.
void WrStr(std::string_view s);
// A character array: up to its first NUL, or all of it when it holds none.
template <std::size_t N>
void WrStr(const char (&s)[N]) { WrStr(std::string_view(s, N)); }

void WrChar(char c);
void WrLn();   // exactly one LF
void RdLn();   // drops the unread rest of IO's buffered input line

// ---------------------------------------------------------------- line in

// Reads a line into `s` through RdStrRedirect; NUL-terminated when shorter.
void RdStr(std::span<char> s);

// With `on`: reads the console input mode into `mode` and sets it with
// processed, line and echo input (bits 0x7) added. Without: sets `mode` back.
// Does nothing when standard input is not a console.
void SetConMode(bool on, std::uint32_t& mode);

// ---------------------------------------------------------------- public variables
// With their values after Init.

extern bool Prompt;            // FALSE
extern bool RdLnOnWr;          // FALSE
extern bool ChopOff;           // FALSE
extern bool Eng;               // FALSE
extern char PrefixChar;        // ' '
extern char SuffixChar;        // ' '
extern std::bitset<256> Separators;  // {9, 10, 13, 26, 32}
extern bool OK;                // TRUE
extern bool InputRedirected;   // FALSE
extern bool OutputRedirected;  // FALSE

using WrStrProc = void (*)(std::string_view s);
extern WrStrProc WrStrRedirect;  // the default writer: standard output

using RdStrProc = void (*)(std::span<char> s);
extern RdStrProc RdStrRedirect;  // the default reader: the standard input channel

// The default writer: clears the line-start flag, writes `s` up to its
// first NUL to standard output.
void DefaultWrStr(std::string_view s);

// The default reader: "?" first when Prompt is set at the start of a line;
// the console in line mode while it reads up to s.size() characters of one
// line from the standard input channel (the line device; nothing when it is
// not installed) and passes the line mark.
void DefaultRdStr(std::span<char> s);

}  // namespace IO
