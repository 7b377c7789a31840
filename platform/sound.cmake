# PlaySound over SDL2 audio. It finds bare names in the program's own sounds
# folder, beside the executable or else in this source tree.
add_library(platform_sound STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp)
target_compile_definitions(platform_sound PRIVATE STACKFALL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(platform_sound PUBLIC PkgConfig::SDL2 platform_sdl_start Threads::Threads ${CMAKE_DL_LIBS})
