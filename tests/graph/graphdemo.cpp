// graphdemo: opens the graphics window, draws a known picture, optionally
// writes the back buffer to a PPM file, and prints every record that arrives
// in the console input buffer. The end-to-end tests and the idle-CPU
// measurement drive it; it runs until it is stopped.
//
//   graphdemo [--size W H] [--restart] [--dump FILE] [--console [--hold FILE]]
//
// --console: start the console as the game does (the key reader; the
// terminal, raw, when standard input is one) and show the keys as the game
// reads them, window and terminal alike, as keytest does, until q.
// --hold: with --console, read no key until FILE exists.
#include "console/Console.h"
#include "console/KeyShow.h"
#include "graph/Graph.h"
#include "platform/ConsoleInput.h"
#include "runtime/Runtime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void DrawPicture() {
  // The sixteen colours as bars along the top.
  for (std::uint32_t c = 0; c < 16; ++c) Graph::Rectangle(10 + c * 30, 10, 35 + c * 30, 60, c, true);
  // Each hatch, transparent and opaque, and a custom mask.
  Graph::SetBkColor(1);
  for (std::uint32_t h = 0; h < 6; ++h) {
    Graph::SetStdFillMask(h);
    Graph::SetBkMix(h % 2 == 0);
    Graph::Rectangle(10 + h * 60, 80, 60 + h * 60, 130, 14, true);
  }
  Graph::SetBkMix(true);
  Graph::SetFillMask({0xF0, 0xE1, 0xC3, 0x87, 0x0F, 0x1E, 0x3C, 0x78});
  Graph::Rectangle(400, 80, 540, 130, 13, true);
  Graph::SetStdFillMask(Graph::PATSYM_SOLID);
  // Each line style.
  for (std::uint32_t s = 0; s < 6; ++s) {
    Graph::SetLinestyle(s);
    Graph::Rectangle(10 + s * 90, 150, 90 + s * 90, 200, 10 + s % 6, false);
  }
  Graph::SetLinestyle(0);
  Graph::SetBkColor(0);
  // Text, the ë included, and the game's board cells.
  Graph::RawOutText(40, 255, 13, "Druk op q om het programma te be\xEB" "indigen");
  Graph::RawOutText(30, 305, 14, "Druk op een toets om te beginnen...");
  for (std::uint32_t x = 0; x < 23; ++x) Graph::Rectangle(x * 15 + 1, 346, (x + 1) * 15, 360, x % 16, true);
  for (std::uint32_t i = 1; i <= 21; ++i) Graph::Plot(i * 15, 375, 8);
  Graph::Rectangle(0, 599, 554, 599, 15, false);
}

bool Dump(const char* file) {
  std::vector<std::uint32_t> pixels = Graph::ReadBackBuffer();
  std::FILE* f = std::fopen(file, "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%u %u\n255\n", Graph::Width, Graph::Depth);
  for (std::uint32_t p : pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Runtime::Init();
  std::uint32_t width = 555, depth = 600;
  bool restart = false;
  bool console = false;
  const char* dump = nullptr;
  const char* hold = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--size") && i + 2 < argc) {
      width = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
      depth = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (!std::strcmp(argv[i], "--restart")) {
      restart = true;
    } else if (!std::strcmp(argv[i], "--dump") && i + 1 < argc) {
      dump = argv[++i];
    } else if (!std::strcmp(argv[i], "--console")) {
      console = true;
    } else if (!std::strcmp(argv[i], "--hold") && i + 1 < argc) {
      hold = argv[++i];
    } else {
      std::fprintf(stderr, "usage: graphdemo [--size W H] [--restart] [--dump FILE] [--console [--hold FILE]]\n");
      return 2;
    }
  }
  if (restart && !Graph::Init(200, 200, 300, 200)) {
    std::printf("Init FALSE\n");
    return 0;
  }
  if (restart) Graph::Rectangle(0, 0, 299, 199, 4, true);
  if (!Graph::Init(1, 1, width, depth)) {
    std::printf("Init FALSE\n");
    return 0;
  }
  DrawPicture();
  if (dump && !Dump(dump)) {
    std::fprintf(stderr, "graphdemo: cannot write %s\n", dump);
    return 1;
  }
  std::printf("ready %ux%u columns %u rows %u colours %u\n", Graph::Width, Graph::Depth, Graph::Columns,
              Graph::Rows, Graph::NumPColor);
  std::fflush(stdout);
  if (console) {
    Console::Init();  // after the window, as in the game
    if (hold) KeyShow::Hold(hold);
    KeyShow::UntilQ();
    return 0;
  }
  for (;;) {
    Platform::InputRecord r;
    if (!Platform::WaitForConsoleInput(-1) || !Platform::ReadConsoleInput(r)) continue;
    if (r.EventType != Platform::KEY_EVENT) continue;
    const auto& k = r.Event.KeyEvent;
    std::printf("key down=%d scan=%02X state=%04X vk=%u ch=%u repeat=%u\n", k.bKeyDown, k.wVirtualScanCode,
                k.dwControlKeyState, k.wVirtualKeyCode, k.uChar, k.wRepeatCount);
    std::fflush(stdout);
  }
}
