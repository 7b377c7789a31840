# Text: SDL2_ttf with a DejaVu font, code page 1252 converted at the boundary.
add_library(platform_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp)
target_link_libraries(platform_text PUBLIC PkgConfig::SDL2_TTF PkgConfig::SDL2)
