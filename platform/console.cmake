# Console input buffer, terminal.
add_library(platform_console STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ConsoleInput.cpp)
target_link_libraries(platform_console PUBLIC Threads::Threads runtime)
