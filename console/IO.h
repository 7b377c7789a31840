// IO: console text output and the game's key reading entry points.
// Output goes through the procedure variable WrStrRedirect, so that tests can
// capture every byte the game writes to the console.
#pragma once

#include <bitset>
#include <cstddef>
#include <string_view>

namespace IO {

void Init();

// Writes the characters of `s` up to, not including, its first NUL.
void WrStr(std::string_view s);
// A character array: up to its first NUL, or all of it when it holds none.
template <std::size_t N>
void WrStr(const char (&s)[N]) { WrStr(std::string_view(s, N)); }

void WrChar(char c);
void WrLn();   // exactly one LF
void RdLn();   // drops the unread rest of IO's buffered input line

// Public variables, with their values after Init.
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

// The default writer: clears the line-start flag, writes `s` up to its
// first NUL to standard output.
void DefaultWrStr(std::string_view s);

}  // namespace IO
