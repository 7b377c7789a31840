# The platform layer of the browser build: the same libraries as the native
# one, under the same names, so that the modules above link as they are.
# What the browser has no use for (the terminal, its view) answers "none";
# the window is the page's canvas, the sound the page's Web Audio, the text
# the glyph table. Nothing here includes SDL.
set(web ${CMAKE_CURRENT_LIST_DIR})
set(native ${CMAKE_CURRENT_LIST_DIR}/..)

# Console input buffer; no terminal. Writing to the console is the native
# file: standard output is no terminal in the page, so it only writes lines.
add_library(platform_output STATIC ${native}/StandardOutput.cpp)
add_library(platform_console STATIC
  ${native}/ConsoleInput.cpp
  ${native}/TerminalOutput.cpp
  ${web}/Terminal.cpp)
target_link_libraries(platform_console PUBLIC platform_output Threads::Threads runtime)

add_library(platform_sound STATIC ${web}/Sound.cpp)
target_link_libraries(platform_sound PUBLIC Threads::Threads)

include(${native}/glyphs.cmake)
add_library(platform_text STATIC ${web}/Text.cpp ${native}/Cp1252.cpp)
target_link_libraries(platform_text PUBLIC platform_glyphs)

# Graph's terminal view compiles as it is; the view is never available.
add_library(platform_termscreen STATIC ${native}/TermPaint.cpp ${web}/TermScreen.cpp)
target_link_libraries(platform_termscreen PUBLIC platform_output platform_text runtime)

add_library(platform_window STATIC ${web}/Window.cpp ${web}/KeyCodes.cpp ${web}/Gamepad.cpp)
target_link_libraries(platform_window PUBLIC Threads::Threads runtime)

# stackfall_page(<target>): the program as a page, <target>.html with its
# .js, .wasm, .worker.js and .data (the sounds) beside it.
function(stackfall_page target)
  set(shell ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/shell.html)
  set(options
    # main runs in a worker, where it may block; the key reader and the
    # window server are threads of their own, ready at start.
    -sPROXY_TO_PTHREAD -sPTHREAD_POOL_SIZE=4 -sINITIAL_MEMORY=64MB
    # The page starts the program when Start is pressed, and learns its end
    # (Module.quit). The runtime stays: no static destructor runs at the end
    # under the threads still waiting.
    -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 "-sEXPORTED_RUNTIME_METHODS=['callMain']"
    -sENVIRONMENT=web,worker -sMINIFY_HTML=0
    "SHELL:--shell-file ${shell}")
  foreach(wave thx startup any_key wohoo game_over)
    list(APPEND options "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/sounds/${wave}.wav@/sounds/${wave}.wav")
  endforeach()
  target_link_options(${target} PRIVATE ${options})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shell})
endfunction()

# The runtime compiles as it is, given the Linux calls it makes.
target_compile_options(runtime PRIVATE "SHELL:-include ${web}/LinuxCompat.h")
target_sources(runtime PRIVATE ${web}/LinuxCompat.cpp)
