// make_glyphs: makes the glyph table of the browser build (GlyphTable.cpp)
// from the window's own text renderer, platform/Text: the same font, size,
// hinting and rendering, one character at a time. The result is committed
// beside this file; make it again only when the font or its settings change:
//
//     cmake --build build --target regenerate_glyphs
//
// The output depends on nothing but the font, so a test can check that the
// committed table is what this program makes.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/GlyphText.h"
#include "platform/Text.h"

namespace {

using Platform::GlyphText::Glyph;
using Platform::GlyphText::kMaxDepth;
using Platform::GlyphText::kMaxWidth;

struct Rendering {
  std::vector<std::uint8_t> mask;
  std::uint32_t width = 0, depth = 0;
};

Rendering Render(const std::string& cp1252) {
  Rendering r;
  Platform::RenderText(cp1252, r.mask, r.width, r.depth);
  return r;
}

// The glyph of byte c, or false when the font draws it in a way the table
// cannot hold.
bool MakeGlyph(unsigned char c, std::uint32_t depth, Glyph& g) {
  const std::string one(1, static_cast<char>(c));
  const Rendering alone = Render(one);
  // Drawn twice, the second starts one advance further: the width grows by it.
  const Rendering twice = Render(one + one);
  if (alone.width == 0 || alone.width > kMaxWidth || alone.depth != depth || twice.width < alone.width) return false;
  g.width = static_cast<std::uint8_t>(alone.width);
  g.advance = static_cast<std::uint8_t>(twice.width - alone.width);
  for (std::uint32_t y = 0; y < depth; ++y)
    for (std::uint32_t x = 0; x < alone.width; ++x)
      if (alone.mask[static_cast<std::size_t>(y) * alone.width + x]) g.rows[y] |= static_cast<std::uint16_t>(1u << x);
  return true;
}

void WriteGlyph(std::FILE* out, unsigned char c, const Glyph& g, std::uint32_t depth) {
  std::fprintf(out, "    {%u, %u, {", g.advance, g.width);
  for (std::uint32_t y = 0; y < depth; ++y) std::fprintf(out, "%s0x%04X", y ? ", " : "", g.rows[y]);
  // The character itself where it is plain ASCII (a backslash would join
  // the next line to the comment).
  const bool shown = c > 0x20 && c < 0x7F && c != '\\';
  std::fprintf(out, "}},  // %02X", c);
  if (shown) std::fprintf(out, " %c", static_cast<char>(c));
  std::fprintf(out, "\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyphs FOLDER  (writes FOLDER/GlyphTable.cpp)\n");
    return 2;
  }
  if (!Platform::StartText()) return 1;
  const Platform::FontMetrics m = Platform::TextMetrics();
  const std::uint32_t depth = m.cellHeight;
  if (depth == 0 || depth > kMaxDepth) {
    std::fprintf(stderr, "make_glyphs: a font of %u rows does not fit the table\n", depth);
    return 1;
  }
  std::vector<Glyph> glyphs(256);
  for (unsigned c = 1; c < 256; ++c) {
    if (!MakeGlyph(static_cast<unsigned char>(c), depth, glyphs[c])) {
      std::fprintf(stderr, "make_glyphs: character %02X does not fit the table\n", c);
      return 1;
    }
  }
  const std::string path = std::string(argv[1]) + "/GlyphTable.cpp";
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (!out) {
    std::perror(path.c_str());
    return 1;
  }
  std::fprintf(out,
               "// The glyph table of the browser build: the window's font as platform/Text\n"
               "// draws it, one character at a time. Made by make_glyphs; do not edit:\n"
               "// cmake --build build --target regenerate_glyphs\n"
               "// Each glyph: its advance, its width, then its rows of ink, bit x for column x.\n"
               "#include \"platform/GlyphText.h\"\n\n"
               "namespace Platform::GlyphText {\n\n"
               "const Table kTable = {\n"
               "  {%u, %u, %u},  // cell width, cell height, descent\n"
               "  %u,  // rows\n"
               "  {\n"
               "    {0, 0, {}},  // 00: never drawn\n",
               m.cellWidth, m.cellHeight, m.descent, depth);
  for (unsigned c = 1; c < 256; ++c) WriteGlyph(out, static_cast<unsigned char>(c), glyphs[c], depth);
  std::fprintf(out, "  }};\n\n}  // namespace Platform::GlyphText\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
