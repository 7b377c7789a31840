// LineEditor: an edit field from the cursor to the right edge of the screen,
// scrolled sideways when the line is longer than the field.
#include "console/LineEditor.h"

#include <algorithm>

#include "console/ConsoleOutput.h"
#include "console/EventQueue.h"
#include "runtime/Runtime.h"

namespace LineEditor {
namespace {

// Edit keys as one code: the character, or the scan code times 256.
constexpr std::uint32_t kBackspace = 8, kEnter = 13, kHome = 0x4700, kLeft = 0x4B00, kRight = 0x4D00,
                        kEnd = 0x4F00, kDel = 0x5300;

std::uint32_t ReadEditKey() {
  for (;;) {
    char ch, scan;
    EventQueue::getKey(ch, scan, true);
    std::uint32_t code = ch != 0 ? static_cast<unsigned char>(ch) : static_cast<unsigned char>(scan) * 256u;
    if (code >= 32 && code <= 255) return code;
    switch (code) {
      case kBackspace: case kEnter: case kHome: case kLeft: case kRight: case kEnd: case kDel:
        return code;
      default:
        break;  // not an edit key
    }
  }
}

struct Field {
  ConsoleOutput::Coord start;  // first column of the field
  std::uint32_t width;
};

void Redraw(const Field& f, const char* buf, std::uint32_t length, std::uint32_t first, std::uint32_t cursor) {
  char chunk[128];
  for (std::uint32_t k = 0; k < f.width; k += sizeof chunk) {
    std::uint32_t n = std::min<std::uint32_t>(sizeof chunk, f.width - k);
    for (std::uint32_t j = 0; j < n; ++j) {
      std::uint32_t i = first + k + j;
      chunk[j] = i < length ? buf[i] : ' ';
    }
    ConsoleOutput::WriteConsoleOutputCharacter(
        {chunk, n}, {static_cast<std::int16_t>(f.start.X + k), f.start.Y});
  }
  ConsoleOutput::SetConsoleCursorPosition({static_cast<std::int16_t>(f.start.X + cursor - first), f.start.Y});
}

}  // namespace

std::uint32_t ReadLine(char* buf, std::uint32_t size) {
  RT_ASSERT(size >= 2);
  Field f{{0, 0}, 80};
  ConsoleOutput::ScreenBufferInfo info;
  if (ConsoleOutput::GetConsoleScreenBufferInfo(info)) {
    f.start = info.dwCursorPosition;
    // Mended: a cursor at or past the right edge still leaves one column to edit in.
    f.width = info.dwSize.X > f.start.X ? static_cast<std::uint32_t>(info.dwSize.X - f.start.X) : 1;
  }
  std::uint32_t length = 0, cursor = 0, first = 0;
  for (;;) {
    Redraw(f, buf, length, first, cursor);
    std::uint32_t code = ReadEditKey();
    switch (code) {
      case kBackspace:
        if (cursor > 0) {
          --cursor;
          std::copy(buf + cursor + 1, buf + length, buf + cursor);
          --length;
          first = std::min(first, cursor);
        }
        break;
      case kDel:
        if (cursor < length) {
          std::copy(buf + cursor + 1, buf + length, buf + cursor);
          --length;
        }
        break;
      case kHome:
        cursor = first = 0;
        break;
      case kEnd:
        if (length - first >= f.width) first = length - f.width + 1;
        cursor = length;
        break;
      case kLeft:
        if (cursor > 0) {
          --cursor;
          first = std::min(first, cursor);
        }
        break;
      case kRight:
        if (cursor < length) {
          ++cursor;
          if (cursor - first >= f.width) ++first;
        }
        break;
      case kEnter:
        buf[length] = '\r';
        buf[length + 1] = '\n';
        ConsoleOutput::WriteConsole("\r\n");
        return length + 2;
      default:  // Deliberate: a printable character overwrites, never inserts.
        if (cursor + 3 > size) {
          ConsoleOutput::Beep(500, 15);
          break;
        }
        buf[cursor++] = static_cast<char>(code);
        length = std::max(length, cursor);
        if (cursor - first >= f.width) ++first;
        break;
    }
  }
}

}  // namespace LineEditor
