// IO: text out to standard output, keys from BiosIO, lines from the line
// device.
#include "console/IO.h"

#include <cstdio>

#include "console/BiosIO.h"
#include "console/LineDevice.h"
#include "platform/Terminal.h"

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
RdStrProc RdStrRedirect = DefaultRdStr;

namespace {

bool initialised = false;
bool lineStart = true;

// IO's buffered input line. Nothing in this program fills it; RdLn empties it.
std::size_t lineEnd = 0;
std::size_t lineRead = 0;

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  for (int c : {9, 10, 13, 26, 32}) Separators.set(c);
}

bool KeyPressed() { return BiosIO::KeyPressed(); }

char RdKey() { return BiosIO::RdKey(); }

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

void RdStr(std::span<char> s) { RdStrRedirect(s); }

void SetConMode(bool on, std::uint32_t& mode) {
  if (!on) {
    Platform::SetConsoleMode(mode);
    return;
  }
  std::uint32_t current;
  if (!Platform::GetConsoleMode(current)) return;  // not a console: mode untouched
  mode = current;
  Platform::SetConsoleMode(current | 0x7);
}

void DefaultRdStr(std::span<char> s) {
  if (Prompt && lineStart) WrStr("?");
  lineStart = true;
  std::uint32_t mode = 0;
  SetConMode(true, mode);
  std::uint32_t n = 0;
  if (LineDevice::Installed()) {
    LineDevice::TextRead(s.data(), static_cast<std::uint32_t>(s.size()), n);
    char next;
    if (LineDevice::Look(next) == LineDevice::endOfLine) LineDevice::Skip();
  }
  SetConMode(false, mode);
  if (n < s.size()) s[n] = '\0';
}

}  // namespace IO
