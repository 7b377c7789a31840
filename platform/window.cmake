# The window system: SDL2 video for the graphics window's server thread.
add_library(platform_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Window.cpp)
target_link_libraries(platform_window PUBLIC PkgConfig::SDL2 Threads::Threads runtime ${CMAKE_DL_LIBS})
