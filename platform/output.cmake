# Descriptor 1 and the terminal behind it: the terminal test, its size, the
# careful write and the hold of standard output (console and screen share it).
add_library(platform_output STATIC
  ${CMAKE_CURRENT_LIST_DIR}/StandardOutput.cpp)

# The one lock for starting parts of SDL (video, game controllers, audio).
add_library(platform_sdl_start STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SdlStart.cpp)
