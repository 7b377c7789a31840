# The terminal as a screen for the picture when there is no display: its
# alternate screen, size and held console text, and the escape sequences.
add_library(platform_termview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TermPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TermView.cpp)
target_link_libraries(platform_termview PUBLIC platform_text runtime)
