#!/usr/bin/env bash
# Stack Fall in a browser: installs what the browser build needs, builds it
# in build-web/ (emscripten, Release) and serves the page on
# http://127.0.0.1:8000/ with the two headers its threads need. Quiet: one
# line while it builds, the compiler's output only when the build fails.
#   bash scripts/web.sh           build and serve (Ctrl+C stops the server)
#   bash scripts/web.sh --build   only build
# What to put on a web host afterwards: build-web/page/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --web
# Debian's emcc looks for its JavaScript modules (acorn) here; the node of
# some machines does not.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

echo "Building Stack Fall for the browser in build-web/ ..."
mkdir -p build-web
if ! { emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release &&
       cmake --build build-web -j2 --target stackfall; } >build-web/web-build.log 2>&1; then
  cat build-web/web-build.log >&2
  echo "The build failed; its output is above and in build-web/web-build.log." >&2
  exit 1
fi
# The page alone, as a host serves it: index.html and what it loads.
rm -rf build-web/page
mkdir -p build-web/page
cp build-web/stackfall.html build-web/page/index.html
for f in stackfall.js stackfall.wasm stackfall.worker.js stackfall.data; do cp "build-web/$f" build-web/page/; done
echo "Built: build-web/page/ ($(du -sk build-web/page | cut -f1) KB)"
[ "${1:-}" = --build ] && exit 0
exec python3 scripts/webserve.py build-web/page 8000
