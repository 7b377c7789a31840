#!/usr/bin/env bash
# The browser build's end-to-end test: builds the page (build-web/, through
# scripts/web.sh), the native reference program (build/, target webframes),
# puppeteer-core (build-web/node/, from tests/web/package-lock.json, no
# browser download: Debian's chromium is used), then plays the page in
# headless Chromium (tests/web/web_e2e.sh).
#   bash scripts/web_test.sh             build, install, test
#   bash scripts/web_test.sh --prepare   build and install only (bench/web uses it)
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
bash scripts/deps.sh
bash scripts/web.sh --build

[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target webframes >build/webframes-build.log 2>&1 ||
  { cat build/webframes-build.log >&2; exit 1; }

# npm ci only when the lock file changed since the last install.
mkdir -p build-web/node
if ! cmp -s tests/web/package-lock.json build-web/node/package-lock.json ||
   [ ! -d build-web/node/node_modules/puppeteer-core ]; then
  cp tests/web/package.json tests/web/package-lock.json build-web/node/
  (cd build-web/node && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

[ "${1:-}" = --prepare ] && exit 0

BUILD=$PWD/build WEB=$PWD/build-web bash tests/web/web_e2e.sh
echo "web_test.sh: $((SECONDS - start)) s in all"
