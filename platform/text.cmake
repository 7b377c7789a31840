# Text: SDL2_ttf with a DejaVu font, code page 1252 converted at the boundary.
add_library(platform_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cp1252.cpp)
target_link_libraries(platform_text PUBLIC PkgConfig::SDL2_TTF PkgConfig::SDL2)

# The same text from a table of glyphs, for the browser build (no SDL2_ttf
# there). The table is made from platform_text by make_glyphs and committed;
# `cmake --build build --target regenerate_glyphs` makes it again.
include(${CMAKE_CURRENT_LIST_DIR}/glyphs.cmake)
add_executable(make_glyphs ${CMAKE_CURRENT_LIST_DIR}/MakeGlyphs.cpp)
target_link_libraries(make_glyphs PRIVATE platform_text platform_glyphs)
add_custom_target(regenerate_glyphs
  COMMAND make_glyphs ${CMAKE_CURRENT_LIST_DIR}
  COMMENT "Making the glyph table in platform/")
