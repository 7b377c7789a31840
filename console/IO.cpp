#include "console/IO.h"

#include <cstdio>
#include <cstring>

namespace IO {

bool Prompt = false;
bool RdLnOnWr = false;
bool ChopOff = false;
bool Eng = false;
char PrefixChar = ' ';
char SuffixChar = ' ';
std::bitset<256> Separators;
bool OK = true;
bool InputRedirected = false;
bool OutputRedirected = false;
WrStrProc WrStrRedirect = DefaultWrStr;

namespace {

bool initialised = false;
bool lineStart = true;

// IO's buffered input line. Nothing in this program fills it; RdLn empties it.
char line[257];
std::size_t lineEnd = 0;
std::size_t lineRead = 0;

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  for (int c : {9, 10, 13, 26, 32}) Separators.set(c);
}

void DefaultWrStr(std::string_view s) {
  lineStart = false;
  std::size_t n = s.find('\0');
  if (n == std::string_view::npos) n = s.size();
  std::fwrite(s.data(), 1, n, stdout);
  std::fflush(stdout);
}

void WrStr(std::string_view s) { WrStrRedirect(s); }

void WrChar(char c) {
  if (RdLnOnWr) RdLn();
  WrStr(std::string_view(&c, 1));
}

void WrLn() {
  if (RdLnOnWr) RdLn();
  WrChar('\n');
  lineStart = true;
}

void RdLn() { lineRead = lineEnd; }

}  // namespace IO
