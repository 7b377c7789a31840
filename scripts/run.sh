#!/usr/bin/env bash
# Builds the game, and only the game (the stackfall program; its sounds are
# copied beside it), then starts it. Quiet: one line while it builds, the
# compiler's output only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --game

options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A new build folder leaves out the tests and benchmarks (they need packages
# the game does not), and compiles each library as one unit: the headers are
# parsed once per library, not once per file, which takes the first build
# from about 58 to 36 s of CPU. One that scripts/test.sh made keeps its own.
[ -f build/CMakeCache.txt ] ||
  options+=(-DSTACKFALL_TESTS=OFF -DSTACKFALL_BENCH=OFF -DCMAKE_UNITY_BUILD=ON)

echo "Building Stack Fall in build/ ..."
mkdir -p build
if ! { cmake -S . -B build "${options[@]}" && cmake --build build -j"$(nproc)" --target stackfall; } \
  >build/run-build.log 2>&1; then
  cat build/run-build.log >&2
  echo "The build failed; its output is above and in build/run-build.log." >&2
  exit 1
fi
exec build/stackfall
