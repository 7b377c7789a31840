// keytest: shows each key as the game reads it through IO::RdKey, one line a
// key, until q. A key with a character: its code, the character when it is
// printable, and the scan code of its key (BiosIO::LastScan). An extended key
// (CHR(0) then the scan): "ext" and the scan.
//
//   keytest [--hold FILE]
//
// --hold: read no key until FILE exists, as a busy program would not; in the
// meantime show each change of the number of keys lost to the full queue
// ("held: N keys lost"). The burst tests type into a held keytest.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "console/BiosIO.h"
#include "console/Console.h"
#include "console/EventQueue.h"
#include "console/IO.h"
#include "console/Lib.h"
#include "runtime/Runtime.h"

namespace {

void WrHex(char c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02XH", static_cast<unsigned char>(c));
  IO::WrStr(text);
}

void WrLost(std::uint32_t lost) {
  char text[48];
  std::snprintf(text, sizeof text, "held: %u keys lost", lost);
  IO::WrStr(text);
  IO::WrLn();
}

// Waits, a tenth of a second at a time, until `file` exists.
void Hold(const char* file) {
  std::uint32_t shown = 0;
  std::error_code ec;
  while (!std::filesystem::exists(file, ec)) {
    const std::uint32_t lost = EventQueue::KeysLost();
    if (lost != shown) WrLost(shown = lost);
    Lib::Delay(100);
  }
  WrLost(EventQueue::KeysLost());
}

}  // namespace

int main(int argc, char** argv) {
  const char* hold = nullptr;
  if (argc == 3 && !std::strcmp(argv[1], "--hold")) {
    hold = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: keytest [--hold FILE]\n");
    return 2;
  }
  Runtime::Init();
  Console::Init();
  IO::WrStr("keytest: press keys, q ends");
  IO::WrLn();
  if (hold) Hold(hold);
  for (;;) {
    char ch = IO::RdKey();
    if (ch == 0) {
      IO::WrStr("ext ");
      WrHex(IO::RdKey());
    } else {
      IO::WrStr("char ");
      WrHex(ch);
      unsigned char u = static_cast<unsigned char>(ch);
      if (u >= 0x20 && u < 0x7F) {
        char shown[] = " ' '";
        shown[2] = ch;
        IO::WrStr(shown);
      }
      IO::WrStr(" scan ");
      WrHex(BiosIO::LastScan);
    }
    IO::WrLn();
    if (ch == 'q') break;
  }
  return 0;
}
