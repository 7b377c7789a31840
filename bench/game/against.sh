#!/usr/bin/env bash
# The play loop against an earlier one in the same run: the game of REV
# (default main) is built in a temporary worktree, then play_cpu.sh and
# probe.sh (the window) and term_view.sh (the terminal view) measure it and
# this build's game one after the other, with this build's probes for both;
# then this build's game with a virtual pad plugged in, where the build has
# padgame (tests built).
#   bash bench/game/against.sh [build folder, default build] [REV] [seconds]
# The environment reaches both games and the probes: with STACKFALL_SCALE=3
# XVFB_SIZE=2000x2000 this build's game plays at scale 3 (REV's, if it has
# no scale, at 1).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(realpath "${1:-$top/build}")
rev=${2:-main}
secs=${3:-20}
old=$(mktemp -d)
cleanup() {
  git -C "$top" worktree remove --force "$old/src" 2>/dev/null || true
  rm -rf "$old"
}
trap cleanup EXIT
git -C "$top" worktree add --detach --quiet "$old/src" "$rev"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTACKFALL_TESTS=OFF -DSTACKFALL_BENCH=OFF)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$old/src" -B "$old/build" "${options[@]}" >/dev/null
cmake --build "$old/build" -j2 --target stackfall >/dev/null
# The old game with this build's probes.
mkdir "$old/run"
ln -s "$old/build/stackfall" "$old/run/stackfall"
ln -s "$build/bench" "$old/run/bench"
for which in "$old/run" "$build"; do
  [ "$which" = "$build" ] && echo "== this build" || echo "== $rev"
  bash "$here/play_cpu.sh" "$which" "$secs"
  bash "$here/probe.sh" "$which"
  bash "$here/term_view.sh" "$which" "$secs"
done
if [ -x "$build/tests/e2e/padgame" ]; then
  echo "== this build, a pad plugged in"
  PLAY_PAD=1 bash "$here/play_cpu.sh" "$build" "$secs"
fi
