# The glyph table and its renderer: no SDL, in both builds.
add_library(platform_glyphs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GlyphText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlyphTable.cpp)
