// LineDevice: the line buffer of the standard input channel.
#include "console/LineDevice.h"

#include "console/LineEditor.h"
#include "runtime/Runtime.h"

namespace LineDevice {
namespace {

bool installed = false;
char line[kBufferSize];
std::uint32_t size = 0;      // bytes in `line`
std::uint32_t position = 0;  // next byte to hand out

void Refill() {
  if (position < size) return;
  position = 0;
  size = LineEditor::ReadLine(line, kBufferSize);
}

bool IsLineMark(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void Install() { installed = true; }

bool Installed() { return installed; }

ReadResult Look(char& ch) {
  Refill();
  if (size == 0) return endOfInput;
  ch = line[position];
  return IsLineMark(ch) ? endOfLine : allRight;
}

void Skip() {
  Refill();
  // Never met: the editor always hands back at least CR LF.
  if (size == 0) Runtime::Fatal(Runtime::Error::AssertionFailed, "skip at end of input", __FILE__, __LINE__);
  if (IsLineMark(line[position]))
    position = size;
  else
    ++position;
}

ReadResult SkipLook(char& ch) {
  Skip();
  return Look(ch);
}

ReadResult TextRead(char* dst, std::uint32_t max, std::uint32_t& n) {
  Refill();
  n = 0;
  while (n < max) {
    if (position >= size) return endOfInput;
    char c = line[position];
    if (IsLineMark(c)) return n > 0 ? allRight : endOfLine;
    dst[n++] = c;
    ++position;
  }
  return allRight;
}

}  // namespace LineDevice
