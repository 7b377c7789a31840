# The terminal as a screen for the picture when there is no display: its
# alternate screen, size and held console text, and the escape sequences.
add_library(platform_termscreen STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TermPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TermScreen.cpp)
target_link_libraries(platform_termscreen PUBLIC platform_output platform_text runtime)
