# Descriptor 1 and the terminal behind it: the terminal test, its size, the
# careful write and the hold of standard output (console and screen share it).
add_library(platform_output STATIC
  ${CMAKE_CURRENT_LIST_DIR}/StandardOutput.cpp)
