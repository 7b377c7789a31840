// KeyShow: key lines and the hold, written through IO.
#include "console/KeyShow.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "console/BiosIO.h"
#include "console/EventQueue.h"
#include "console/IO.h"
#include "console/Lib.h"

namespace KeyShow {
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

}  // namespace

void UntilQ() {
  for (;;) {
    const char ch = IO::RdKey();
    if (ch == 0) {
      IO::WrStr("ext ");
      WrHex(IO::RdKey());
    } else {
      IO::WrStr("char ");
      WrHex(ch);
      const auto u = static_cast<unsigned char>(ch);
      if (u >= 0x20 && u < 0x7F) {
        char shown[] = " ' '";
        shown[2] = ch;
        IO::WrStr(shown);
      }
      IO::WrStr(" scan ");
      WrHex(BiosIO::LastScan);
    }
    IO::WrLn();
    if (ch == 'q') return;
  }
}

void Hold(const char* file) {
  std::uint32_t shown = 0;
  std::error_code ec;
  // A tenth of a second at a time: no spinning while held.
  while (!std::filesystem::exists(file, ec)) {
    const std::uint32_t lost = EventQueue::KeysLost();
    if (lost != shown) WrLost(shown = lost);
    Lib::Delay(100);
  }
  WrLost(EventQueue::KeysLost());
}

}  // namespace KeyShow
