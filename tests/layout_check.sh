#!/usr/bin/env bash
# The layering checks. With the source tree: fails when a file outside
# platform/ includes SDL, Xlib, POSIX terminal or emscripten headers. With a build folder too:
# fails when the rules library (game_rules) reaches anything but the runtime,
# by the headers its objects were compiled from or by the link line of the
# programs that link it alone (its tests, the rules fuzz replay).
cd "$1" || exit 2
hits=$(grep -rn -E '#\s*include\s*[<"](SDL|termios|sys/ioctl|SDL2/|X11/|emscripten)' \
  --include='*.cpp' --include='*.h' runtime console sound graph game 2>/dev/null)
if [ -n "$hits" ]; then
  echo "SDL, terminal or emscripten headers outside platform/:"
  echo "$hits"
  exit 1
fi
echo "platform headers only in platform/"

# The views are peers over the picture: neither includes the other, only the
# choice includes them, the picture and what it is made of include no view,
# and nothing in platform/ reaches up.
includes() { grep -h -o -E '#include "[^"]+"' "$@" 2>/dev/null | sed -E 's/#include "(.*)"/\1/'; }
check_none() {  # check_none <what> <pattern> <files...>
  local what=$1 pattern=$2 found
  shift 2
  found=$(includes "$@" | grep -E "$pattern")
  if [ -n "$found" ]; then echo "$what:"; echo "$found"; exit 1; fi
}
check_none "the window view includes the terminal view" 'graph/(TerminalView|TermMap|TextLayer)\.h' graph/WindowView.*
check_none "the terminal view includes the window view" 'graph/WindowView\.h' graph/TerminalView.* graph/TermMap.*
check_none "the picture includes a view" 'graph/(WindowView|TerminalView|TermMap|ViewChoice|Graph)\.h' \
  graph/Picture.* graph/TextLayer.* graph/FramePacer.* graph/Raster.*
check_none "a view includes the choice or Graph" 'graph/(ViewChoice|Graph)\.h' graph/WindowView.* graph/TerminalView.*
outside=$(grep -l -E '#include "graph/(WindowView|TerminalView)\.h"' graph/*.cpp graph/*.h | grep -v -E '^graph/(ViewChoice\.cpp|WindowView\.cpp|TerminalView\.cpp)$')
[ -z "$outside" ] || { echo "views opened outside graph/ViewChoice:"; echo "$outside"; exit 1; }
check_none "platform/ reaches up" '^(game|graph|console|sound)/' platform/*.h platform/*.cpp
echo "views side by side over the picture, chosen in one place"
[ -n "${2:-}" ] || exit 0

build=$2
deps=("$build"/game/CMakeFiles/game_rules.dir/*.o.d)
links=("$build"/tests/game/CMakeFiles/game_rules_tests.dir/link.txt
       "$build"/tests/fuzz/CMakeFiles/rules_replay.dir/link.txt)
for f in "${deps[0]}" "${links[@]}"; do
  [ -f "$f" ] || { echo "missing $f: build first"; exit 2; }
done
# Every project header a rules object was compiled from (relative to the
# build folder, or under the source tree) lies in game/ or runtime/.
headers=$(cat "${deps[@]}" | tr ' \\' '\n\n' | grep -E '\.h$' | sed -E "s#^$PWD/##; s#^(\.\./)+##")
outside=$(echo "$headers" | grep -v -E '^/' | grep -v -E '^(game|runtime)/' | sort -u)
outside+=$(echo "$headers" | grep -E '/SDL2?/' | sort -u)
if [ -n "$outside" ]; then
  echo "the rules library includes headers outside game/ and runtime/:"
  echo "$outside"
  exit 1
fi
bad=$(grep -H -o -E '(SDL2?|lib(console|sound|platform[a-z_]*|graph|game_play)\.a)' "${links[@]}" | sort -u)
if [ -n "$bad" ]; then
  echo "the rules library links more than the runtime:"
  echo "$bad"
  exit 1
fi
echo "rules library: game/ and runtime/ only, nothing else linked"
