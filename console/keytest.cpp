// keytest: shows each key as the game reads it through IO::RdKey, one line a
// key, until q. A key with a character: its code, the character when it is
// printable, and the scan code of its key (BiosIO::LastScan). An extended key
// (CHR(0) then the scan): "ext" and the scan.
#include <cstdio>

#include "console/BiosIO.h"
#include "console/Console.h"
#include "console/IO.h"
#include "runtime/Runtime.h"

namespace {

void WrHex(char c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02XH", static_cast<unsigned char>(c));
  IO::WrStr(text);
}

}  // namespace

int main() {
  Runtime::Init();
  Console::Init();
  IO::WrStr("keytest: press keys, q ends");
  IO::WrLn();
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
