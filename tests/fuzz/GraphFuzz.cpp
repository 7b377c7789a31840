// Fuzz target: the drawing operations on the picture with no view. The
// input is a display depth, a surface size and a sequence of Graph calls with
// arbitrary arguments: huge coordinates, inverted corners, colours above 255,
// line styles above 5, unknown fill masks, custom masks, palettes of 0 to
// 1,100 entries, texts of any length and any bytes, text windows, positions
// and the cursor. Checked, besides what ASan and UBSan see:
//  - a guard: each call changes no pixel outside what it may touch (its
//    rectangle, pixel or text line, clipped, and the cursor block before and
//    after it), so that no write wraps into another row or lands elsewhere
//    inside the buffer; calls that only set state change no pixel at all;
//  - every pixel stays a 0x00RRGGBB value, whatever the palette holds;
//  - the buffer keeps its size.
#include "graph/Graph.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool More() const { return at < size; }
  std::uint32_t Byte() { return at < size ? data[at++] : 0; }
  std::uint32_t Take(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | Byte();
    return v;
  }
  // A coordinate or colour: on the surface, near the top of the range, or any.
  std::uint32_t Any() {
    switch (Byte() % 4) {
      case 0: return Byte() % 100;
      case 1: return 0xFFFFFFFFu - Byte() % 100;
      case 2: return 0x7FFFFFFFu + Byte() % 3 - 1;
      default: return Take(4);
    }
  }
};

// Pixels a call may change: inclusive boxes, 64-bit so nothing wraps.
struct Box {
  std::int64_t left, top, right, bottom;
  bool Holds(std::int64_t x, std::int64_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct Allowed {
  bool everything = false;
  std::vector<Box> boxes;
  bool Holds(std::int64_t x, std::int64_t y) const {
    if (everything) return true;
    return std::any_of(boxes.begin(), boxes.end(), [&](const Box& b) { return b.Holds(x, y); });
  }
};

// The text position, read through SetTextPosition and put straight back (the
// cursor block, if shown, is inverted and inverted back: no pixel changes).
Graph::RowColumn TextPosition() {
  const Graph::RowColumn p = Graph::SetTextPosition(0, 0);
  Graph::SetTextPosition(p.column, p.row);
  return p;
}

// The cursor block of a text position: right and bottom exclusive.
Box CursorBlock(Graph::RowColumn p) {
  const Platform::FontMetrics m = Platform::TextMetrics();
  const std::int64_t w = m.cellWidth, h = m.cellHeight;
  return {(p.column - std::int64_t{1}) * w, (p.row - std::int64_t{1}) * h, p.column * w - 2, p.row * h - 2};
}

void CheckCall(const std::vector<std::uint32_t>& before, const Allowed& allowed, std::uint32_t width,
               std::uint32_t depth, int call) {
  const std::vector<std::uint32_t> after = Graph::ReadBackBuffer();
  FUZZ_CHECK(after.size() == std::size_t{width} * depth, "call %d: the buffer has %zu pixels, not %u x %u", call,
             after.size(), width, depth);
  for (std::size_t i = 0; i < after.size(); ++i) {
    const std::int64_t x = static_cast<std::int64_t>(i % width), y = static_cast<std::int64_t>(i / width);
    FUZZ_CHECK((after[i] & 0xFF000000u) == 0, "call %d: pixel (%lld, %lld) is %08X", call,
               static_cast<long long>(x), static_cast<long long>(y), after[i]);
    FUZZ_CHECK(after[i] == before[i] || allowed.Holds(x, y), "call %d: pixel (%lld, %lld) changed outside its area",
               call, static_cast<long long>(x), static_cast<long long>(y));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  constexpr std::uint32_t kBits[] = {1, 4, 8, 15, 16, 24, 32};
  Graph::SelectHeadless(kBits[in.Byte() % 7]);
  std::uint32_t width = in.Byte() % 97, depth = in.Byte() % 97;
  if (!Graph::Init(1, 1, width, depth)) return 0;
  // What Init keeps from the last input: the fill kind and the cursor wish.
  Graph::SetStdFillMask(Graph::PATSYM_SOLID);
  Graph::DisplayCursor(false);

  std::vector<std::uint32_t> palette;
  for (int call = 0; in.More(); ++call) {
    const std::vector<std::uint32_t> before = Graph::ReadBackBuffer();
    const Graph::RowColumn from = TextPosition();
    Allowed allowed;
    switch (in.Byte() % 17) {
      case 0: {
        const std::uint32_t x1 = in.Any(), y1 = in.Any(), x2 = in.Any(), y2 = in.Any();
        allowed.boxes.push_back({std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
        Graph::Rectangle(x1, y1, x2, y2, in.Any(), in.Byte() & 1);
        break;
      }
      case 1: {
        const std::uint32_t x = in.Any(), y = in.Any();
        allowed.boxes.push_back({x, y, x, y});
        Graph::Plot(x, y, in.Any());
        break;
      }
      case 2: {
        const std::uint32_t x = in.Any(), y = in.Any(), colour = in.Any();
        std::string text(in.Take(2) % 600, '\0');
        for (char& c : text) c = static_cast<char>(in.Byte());
        allowed.boxes.push_back({x, y, width, y + std::int64_t{Platform::TextMetrics().cellHeight} - 1});
        Graph::RawOutText(x, y, colour, text);
        break;
      }
      case 3: {
        const std::uint32_t mode = in.Byte() % 4;
        allowed.everything = mode == 0 || mode == 2;
        Graph::ClearScreen(mode);
        break;
      }
      case 4: Graph::SetLinestyle(in.Byte() % 3 ? in.Byte() % 8 : in.Any()); break;
      case 5: Graph::SetStdFillMask(in.Byte() % 3 ? in.Byte() % 10 : in.Any()); break;
      case 6: {
        std::array<std::uint8_t, 8> mask;
        for (auto& row : mask) row = static_cast<std::uint8_t>(in.Byte());
        Graph::SetFillMask(mask);
        break;
      }
      case 7: Graph::SetBkColor(in.Any()); break;
      case 8: Graph::SetBkMix(in.Byte() & 1); break;
      case 9: Graph::SetTextWindow(in.Any(), in.Any(), in.Any(), in.Any()); break;
      case 10: Graph::SetTextPosition(in.Any(), in.Any()); break;
      case 11: Graph::DisplayCursor(in.Byte() & 1); break;
      case 12: {
        const std::uint32_t kind = in.Byte();
        palette.resize(kind % 4 == 0 ? 0 : kind % 4 == 1 ? 1000 : in.Take(2) % 1100);
        for (std::uint32_t& v : palette) v = kind & 0x80 ? in.Take(4) : in.Take(3);
        const int result = Graph::RemapAllPalette(palette);
        FUZZ_CHECK(result == (palette.size() > Graph::NumPColor ? -1 : 0), "RemapAllPalette of %zu entries: %d",
                   palette.size(), result);
        break;
      }
      case 13: Graph::InitStdPalette(); break;
      case 14: {
        // A new surface: anything goes, and the size is the new one.
        Graph::SelectHeadless(kBits[in.Byte() % 7]);
        const bool huge = (in.Byte() & 0x0F) == 0;  // beyond the largest window: refused
        const std::uint32_t w = huge ? 16385 + in.Byte() : in.Byte() % 97;
        const std::uint32_t d = huge ? in.Any() : in.Byte() % 97;
        const bool opened = Graph::Init(1, 1, w, d);
        FUZZ_CHECK(opened != huge, "Init of %u x %u answered %d", w, d, opened);
        if (!opened) return 0;
        width = w;
        depth = d;
        Graph::SetStdFillMask(Graph::PATSYM_SOLID);  // as above: Init keeps the custom mask
        continue;
      }
      case 15: {
        // The game's board cell: a filled rectangle of 15 x 15 and its outline.
        const std::uint32_t x = in.Byte() % 40, y = in.Byte() % 40;
        allowed.boxes.push_back({x * 15, y * 15, x * 15 + 15, y * 15 + 15});
        Graph::Rectangle(x * 15, y * 15, x * 15 + 15, y * 15 + 15, in.Byte(), true);
        Graph::Rectangle(x * 15, y * 15, x * 15 + 15, y * 15 + 15, in.Byte(), false);
        break;
      }
      default: {
        // Closed: no buffer, drawing does nothing; then the same surface anew.
        Graph::Exit();
        Graph::Rectangle(in.Any(), in.Any(), in.Any(), in.Any(), in.Any(), true);
        Graph::RawOutText(in.Any(), in.Any(), in.Any(), "text");
        FUZZ_CHECK(Graph::ReadBackBuffer().empty(), "a buffer after Exit");
        FUZZ_CHECK(Graph::Init(1, 1, width, depth), "Init of %u x %u after Exit", width, depth);
        Graph::SetStdFillMask(Graph::PATSYM_SOLID);
        allowed.everything = true;
        break;
      }
    }
    allowed.boxes.push_back(CursorBlock(from));
    allowed.boxes.push_back(CursorBlock(TextPosition()));
    CheckCall(before, allowed, width, depth, call);
  }
  return 0;
}
