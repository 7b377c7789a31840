// Graph: the drawing state, the command record and its executor, and the
// public operations built on them. Runs on the caller's thread; the picture
// is graph/Picture's, the views graph/ViewChoice's.
#include "graph/Graph.h"

#include "graph/Picture.h"
#include "graph/Raster.h"
#include "graph/TextLayer.h"
#include "graph/ViewChoice.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>

namespace Graph {

std::uint32_t Width = 0;
std::uint32_t Depth = 0;
std::uint32_t Columns = 0;
std::uint32_t Rows = 0;
std::uint32_t NumPColor = 0;

namespace {

constexpr std::uint32_t kMaxPalette = 1024;
constexpr std::uint32_t kMaxText = 257;

constexpr std::uint32_t kStdPalette[16] = {
    0x000000, 0x0000B0, 0x00B000, 0x008080, 0xB00000, 0x800080, 0xB06000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// ---------------------------------------------------------------- drawing state
// As at module start; Init sets its own column of it.

std::uint32_t palette[kMaxPalette] = {};
std::uint32_t paletteCount = 0;
std::uint32_t bkColour = 0;
bool bkOpaque = true;
std::uint32_t lineStyle = 0;
bool customFill = false;
std::uint32_t stdFillMask = PATSYM_SOLID;
std::array<std::uint8_t, 8> customMask = {};
std::uint32_t cellWidth = 0, cellHeight = 0, descent = 0;
struct {
  std::uint32_t left = 0, top = 0, right = 0, bottom = 0;
} textWindow;
std::uint32_t textColumn = 0, textRow = 0;
bool cursorWanted = false;
bool cursorShown = false;

std::uint32_t mosaicSquare = 0, mosaicOrigin = 0;

// ---------------------------------------------------------------- the command record and its executor

enum Code : std::uint8_t {
  kPenStyle = 2,
  kBrush = 3,
  kPalette = 4,
  kBkColour = 7,
  kBkMix = 8,
  kPixel = 9,
  kRectangle = 10,
  kText = 18,
  kInvert = 19,
};

constexpr std::uint32_t kMixTransparent = 1;
constexpr std::uint32_t kMixOpaque = 2;

struct Command {
  std::uint8_t code = 0;
  std::uint32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // 19: right and bottom exclusive
  std::uint32_t colour = 0;
  bool fill = false;
  std::uint32_t value = 0;  // pen style, mask, mix
  std::uint32_t count = 0;  // palette entries or text length
  std::uint32_t entries[kMaxPalette] = {};
  char text[kMaxText] = {};
};

Command cmd;

enum class Target { BackBuffer, BackBufferAndWindow };

// Colour number to 0x00RRGGBB. An entry the palette does not have is black.
std::uint32_t Rgb(std::uint32_t colour) {
  const std::uint32_t entry = colour & 0xFF;
  return entry < paletteCount ? palette[entry] & 0xFFFFFF : 0;
}

Raster::Brush FillBrush(std::uint32_t rgb) {
  Raster::Brush b;
  b.colour = rgb;
  b.background = Rgb(bkColour);
  if (customFill) {
    // A pattern brush is opaque whatever the mix: clear bits always take the
    // background colour.
    b.solid = false;
    std::copy(customMask.begin(), customMask.end(), b.rows);
  } else if (stdFillMask < 6) {
    b.solid = false;
    b.opaque = bkOpaque;
    std::copy(Raster::kHatch[stdFillMask], Raster::kHatch[stdFillMask] + 8, b.rows);
  }
  return b;
}

void DrawRectangle(Raster::Canvas c) {
  const std::uint32_t rgb = Rgb(cmd.colour);
  const std::uint32_t l = cmd.x1, t = cmd.y1, r = cmd.x2, b = cmd.y2;
  if (!cmd.fill) {
    Raster::Outline(c, l, t, r, b, rgb, lineStyle, Rgb(bkColour), bkOpaque);
    return;
  }
  const Raster::Brush brush = FillBrush(rgb);
  if (brush.solid) {
    // The solid outline is in the fill colour: one fill covers both.
    Raster::Fill(c, l, t, r, b, brush);
    return;
  }
  Raster::Outline(c, l, t, r, b, rgb, Raster::Solid, 0, false);
  if (r - l >= 2 && b - t >= 2) Raster::Fill(c, l + 1, t + 1, r - 1, b - 1, brush);
}

// The texts the rectangle just drawn reaches go from the text layer; an
// outline reaches only its edges.
void CoverRectangle() {
  const std::uint32_t l = cmd.x1, t = cmd.y1, r = cmd.x2, b = cmd.y2;
  if (cmd.fill) {
    TextLayer::Covered(l, t, r, b);
    return;
  }
  TextLayer::Covered(l, t, r, t);
  TextLayer::Covered(l, b, r, b);
  TextLayer::Covered(l, t, l, b);
  TextLayer::Covered(r, t, r, b);
}

void Execute(Target target) {
  switch (cmd.code) {
    case kPenStyle:
      lineStyle = cmd.value;
      return;
    case kBrush:
      customFill = false;
      stdFillMask = cmd.value;
      return;
    case kPalette:
      std::copy(cmd.entries, cmd.entries + cmd.count, palette);
      paletteCount = cmd.count;
      return;
    case kBkColour:
      bkColour = cmd.colour;
      return;
    case kBkMix:
      bkOpaque = cmd.value == kMixOpaque;
      return;
    default:
      break;
  }
  std::vector<std::uint8_t> ink;
  std::uint32_t inkWidth = 0, inkDepth = 0;
  if (cmd.code == kText &&
      !Platform::RenderText(std::string_view(cmd.text, cmd.count), ink, inkWidth, inkDepth))
    return;

  bool wake = false;
  {
    std::lock_guard lock(Picture::SurfaceLock());
    const Raster::Canvas c = Picture::Canvas();
    if (!c.pixels) return;
    // The pixels the command may change, edges included.
    Picture::Box box{cmd.x1, cmd.y1, cmd.x1, cmd.y1};
    switch (cmd.code) {
      case kPixel:
        Raster::Plot(c, cmd.x1, cmd.y1, Rgb(cmd.colour));
        TextLayer::Covered(cmd.x1, cmd.y1, cmd.x1, cmd.y1);
        break;
      case kRectangle:
        DrawRectangle(c);
        CoverRectangle();
        box = {cmd.x1, cmd.y1, cmd.x2, cmd.y2};
        break;
      case kText:
        Raster::Stamp(c, cmd.x1, cmd.y1, ink.data(), inkWidth, inkDepth, Rgb(cmd.colour), Rgb(bkColour),
                      bkOpaque);
        TextLayer::Note(c, cmd.x1, cmd.y1, std::string_view(cmd.text, cmd.count), inkWidth / cmd.count, inkDepth,
                        Rgb(cmd.colour), Rgb(bkColour), bkOpaque);
        if (inkWidth == 0 || inkDepth == 0) break;
        box = {cmd.x1, cmd.y1, cmd.x1 + inkWidth - 1, cmd.y1 + inkDepth - 1};
        break;
      case kInvert:
        Raster::Invert(c, cmd.x1, cmd.y1, cmd.x2, cmd.y2);
        if (cmd.x2 > cmd.x1 && cmd.y2 > cmd.y1) TextLayer::Covered(cmd.x1, cmd.y1, cmd.x2 - 1, cmd.y2 - 1);
        box = {cmd.x1, cmd.y1, std::max(cmd.x1, cmd.x2), std::max(cmd.y1, cmd.y2)};
        break;
      default:
        return;
    }
    if (target == Target::BackBufferAndWindow) wake = Picture::Drawn(box);
  }
  if (wake) Picture::Wake();
}

// ---------------------------------------------------------------- the cursor frame around the drawing operations

void InvertCursorBlock() {
  if (textColumn == 0 || textRow == 0 || cellWidth == 0 || cellHeight == 0) return;
  cmd.code = kInvert;
  cmd.x1 = (textColumn - 1) * cellWidth;
  cmd.y1 = (textRow - 1) * cellHeight;
  // Deliberate: the block stops one pixel short of the cell on the right and
  // at the bottom.
  cmd.x2 = textColumn * cellWidth - 1;
  cmd.y2 = textRow * cellHeight - 1;
  Execute(Target::BackBufferAndWindow);
}

void HideCursor() {
  if (!cursorShown) return;
  InvertCursorBlock();
  cursorShown = false;
}

void RestoreCursor() { DisplayCursor(cursorWanted); }

// The Rectangle steps, without the cursor frame.
void RectangleCommand(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2,
                      std::uint32_t colour, bool fill) {
  cmd.colour = colour;
  if (x1 == x2 && y1 == y2) {
    cmd.code = kPixel;
    cmd.x1 = x1;
    cmd.y1 = y1;
  } else {
    cmd.code = kRectangle;
    cmd.x1 = std::min(x1, x2);
    cmd.y1 = std::min(y1, y2);
    cmd.x2 = std::max(x1, x2);
    cmd.y2 = std::max(y1, y2);
    cmd.fill = fill;
  }
  Execute(Target::BackBufferAndWindow);
}

void LoadPalette(std::span<const std::uint32_t> colours) {
  cmd.code = kPalette;
  cmd.count = static_cast<std::uint32_t>(std::min<std::size_t>(colours.size(), kMaxPalette));
  std::copy(colours.begin(), colours.begin() + cmd.count, cmd.entries);
  Execute(Target::BackBuffer);
}

// Into 1..cells; 0 when the grid has no cells.
std::uint32_t ClampCell(std::uint32_t v, std::uint32_t cells) {
  return cells == 0 ? 0 : std::clamp<std::uint32_t>(v, 1, cells);
}

std::uint32_t ColourCount(std::uint32_t displayBits) {
  return displayBits >= 32 ? 0xFFFFFFFFu : (1u << displayBits);
}

}  // namespace

// ---------------------------------------------------------------- opening and closing

bool Init(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t depth) {
  Width = width;
  Depth = depth;
  Picture::Facts facts;
  facts.width = width;
  facts.depth = depth;
  facts.square = mosaicSquare;
  facts.origin = mosaicOrigin;
  std::copy(std::begin(kStdPalette), std::end(kStdPalette), facts.colours.begin());
  const ViewChoice::Opened opened = ViewChoice::Open(x, y, facts);
  if (opened == ViewChoice::Opened::None) return false;
  {
    std::lock_guard lock(Picture::SurfaceLock());
    TextLayer::Forget();
  }
  cursorShown = false;  // a new surface has no cursor on it
  NumPColor = ColourCount(ViewChoice::DisplayBits());
  // Mended: loaded without the colour-count check of RemapAllPalette: on a display of
  // fewer than 16 colours that check would leave no palette at all, and
  // colour 12 must still be light red.
  LoadPalette(kStdPalette);
  SetLinestyle(0);
  SetBkMix(true);
  SetBkColor(0);
  ClearScreen(0);
  Platform::StartText();
  const Platform::FontMetrics m = Platform::TextMetrics();
  cellWidth = m.cellWidth;
  cellHeight = m.cellHeight;
  descent = m.descent;
  // Mended: a surface lower than the descent has no text rows (not a wrapped count).
  Rows = cellHeight && Depth >= descent ? (Depth - descent) / cellHeight : 0;
  Columns = cellWidth ? Width / cellWidth : 0;
  SetTextWindow(1, 1, Columns, Rows);
  // A terminal too small: FALSE, and the picture drawn all the same, for the
  // view that comes when the terminal is enlarged.
  return opened != ViewChoice::Opened::Pending;
}

void Exit() { ViewChoice::Close(); }

void SetWindowLook(std::uint32_t scale, bool fullScreen) { ViewChoice::SetWindowLook(scale, fullScreen); }

void SetMosaic(std::uint32_t square, std::uint32_t origin) {
  mosaicSquare = square;
  mosaicOrigin = origin;
}

// ---------------------------------------------------------------- drawing

void ClearScreen(std::uint32_t mode) {
  HideCursor();
  if (mode == 0 || mode == 2) {
    const bool wasCustom = customFill;
    const std::uint32_t savedMask = stdFillMask;
    SetStdFillMask(PATSYM_SOLID);
    if (mode == 0) {
      RectangleCommand(0, 0, Width - 1, Depth - 1, bkColour, true);
    } else if (textWindow.left != 0 && textWindow.top != 0) {
      // Deliberate: right and bottom reach one pixel past the last cell, and
      // the bottom takes the descent along.
      RectangleCommand((textWindow.left - 1) * cellWidth, (textWindow.top - 1) * cellHeight,
                       textWindow.right * cellWidth, textWindow.bottom * cellHeight + descent, bkColour, true);
    }
    // The standard mask comes back in both cases, so that GetStdFillMask
    // never answers the solid fill used here.
    SetStdFillMask(savedMask);
    if (wasCustom) SetFillMask(customMask);
  }
  SetTextPosition(1, 1);
  RestoreCursor();
}

void Rectangle(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2, std::uint32_t colour,
               bool fill) {
  HideCursor();
  RectangleCommand(x1, y1, x2, y2, colour, fill);
  RestoreCursor();
}

void Plot(std::uint32_t x, std::uint32_t y, std::uint32_t colour) {
  HideCursor();
  cmd.code = kPixel;
  cmd.x1 = x;
  cmd.y1 = y;
  cmd.colour = colour;
  Execute(Target::BackBufferAndWindow);
  RestoreCursor();
}

void RawOutText(std::uint32_t x, std::uint32_t y, std::uint32_t colour, std::string_view text) {
  text = text.substr(0, std::min<std::size_t>(text.find('\0'), kMaxText));
  HideCursor();
  cmd.code = kText;
  cmd.x1 = x;
  cmd.y1 = y;
  cmd.colour = colour;
  cmd.count = static_cast<std::uint32_t>(text.size());
  std::memcpy(cmd.text, text.data(), text.size());
  Execute(Target::BackBufferAndWindow);
  RestoreCursor();
}

// ---------------------------------------------------------------- palette and drawing state

void InitStdPalette() { RemapAllPalette(kStdPalette); }

int RemapAllPalette(std::span<const std::uint32_t> colours) {
  if (colours.size() > NumPColor) return -1;
  LoadPalette(colours);
  return 0;
}

std::uint32_t SetBkColor(std::uint32_t colour) {
  const std::uint32_t previous = bkColour;
  cmd.code = kBkColour;
  cmd.colour = colour;
  Execute(Target::BackBufferAndWindow);
  return previous;
}

void SetBkMix(bool opaque) {
  cmd.code = kBkMix;
  cmd.value = opaque ? kMixOpaque : kMixTransparent;
  Execute(Target::BackBufferAndWindow);
}

void SetLinestyle(std::uint32_t style) {
  cmd.code = kPenStyle;
  cmd.value = style;
  Execute(Target::BackBuffer);
}

void SetStdFillMask(std::uint32_t mask) {
  cmd.code = kBrush;
  cmd.value = mask;
  Execute(Target::BackBuffer);
}

std::uint32_t GetStdFillMask() { return stdFillMask; }

void SetFillMask(const std::array<std::uint8_t, 8>& mask) {
  customMask = mask;
  customFill = true;
}

// ---------------------------------------------------------------- text grid and cursor

void SetTextWindow(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2) {
  x1 = ClampCell(x1, Columns);
  x2 = ClampCell(x2, Columns);
  y1 = ClampCell(y1, Rows);
  y2 = ClampCell(y2, Rows);
  textWindow.left = std::min(x1, x2);
  textWindow.top = std::min(y1, y2);
  textWindow.right = std::max(x1, x2);
  textWindow.bottom = std::max(y1, y2);
  SetTextPosition(textWindow.left, textWindow.top);
}

RowColumn SetTextPosition(std::uint32_t column, std::uint32_t row) {
  column = std::clamp(column, textWindow.left, textWindow.right);
  row = std::clamp(row, textWindow.top, textWindow.bottom);
  const RowColumn previous{textRow, textColumn};
  HideCursor();
  textColumn = column;
  textRow = row;
  RestoreCursor();
  return previous;
}

bool DisplayCursor(bool on) {
  const bool previous = cursorWanted;
  cursorWanted = on;
  if (on != cursorShown) {
    InvertCursorBlock();
    cursorShown = on;
  }
  return previous;
}

// ---------------------------------------------------------------- headless runs and tests

void SelectHeadless(std::uint32_t displayBits) { ViewChoice::SelectHeadless(displayBits); }

std::uint32_t Pixel(std::uint32_t x, std::uint32_t y) {
  std::lock_guard lock(Picture::SurfaceLock());
  const Raster::Canvas c = Picture::Canvas();
  if (!c.pixels || x >= c.width || y >= c.depth) return 0;
  return c.pixels[static_cast<std::size_t>(y) * c.width + x];
}

std::vector<std::uint32_t> ReadBackBuffer() {
  std::lock_guard lock(Picture::SurfaceLock());
  const Raster::Canvas c = Picture::Canvas();
  if (!c.pixels) return {};
  return std::vector<std::uint32_t>(c.pixels, c.pixels + static_cast<std::size_t>(c.width) * c.depth);
}

std::uint64_t FrameCount() { return Picture::Frames(); }

bool PictureShown() { return Picture::Shown(); }

}  // namespace Graph
