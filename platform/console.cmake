# Console input buffer, the terminal and its key decoder.
add_library(platform_console STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ConsoleInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Terminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalOutput.cpp)
target_link_libraries(platform_console PUBLIC platform_output Threads::Threads runtime)
