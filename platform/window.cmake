# The window system: SDL2 video for the graphics window's server thread, and
# SDL2's game controllers, which that thread serves between its own events.
add_library(platform_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gamepad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Xlib.cpp)
target_link_libraries(platform_window PUBLIC PkgConfig::SDL2 platform_sdl_start platform_console Threads::Threads runtime ${CMAKE_DL_LIBS})
