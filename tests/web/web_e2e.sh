#!/usr/bin/env bash
# The browser build end to end: the page in build-web/page served by our
# server (started here, killed by PID), headless Chromium driven by
# page_e2e.js, held against what webframes draws natively.
#   BUILD=<native build> WEB=<build-web> bash tests/web/web_e2e.sh
# Needs puppeteer-core in $WEB/node (scripts/web_test.sh installs it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/lib.sh"
: "${BUILD:?the native build folder}" "${WEB:?the browser build folder}"
[ -f "$WEB/page/index.html" ] || fail "no page in $WEB/page: bash scripts/web.sh --build"
[ -d "$WEB/node/node_modules/puppeteer-core" ] || fail "no puppeteer-core in $WEB/node"

mkdir -p "$work/ref" "$work/silent" "$work/profile"
"$BUILD/tests/web/webframes" "$work/ref" >"$work/webframes.out" 2>&1 || fail "webframes failed"
"$BUILD/tests/web/webframes" --silent "$work/silent" >>"$work/webframes.out" 2>&1 || fail "webframes --silent failed"

# Port 0: the server takes a free one and says which.
python3 "$here/../../scripts/webserve.py" "$WEB/page" 0 >"$work/server.out" 2>"$work/server.err" &
pids+=($!)
served() { grep -q '^Serving http' "$work/server.out"; }
wait_for "the page's server" served
address=$(sed -n 's/^Serving //p' "$work/server.out")

NODE_PATH="$WEB/node/node_modules" node "$here/page_e2e.js" "$address" "$work/ref" "$work/silent" "$work/profile" \
  >"$work/page.out" 2>&1 &
node_pid=$!
pids+=("$node_pid")
status=0
wait "$node_pid" || status=$?
cat "$work/page.out"
[ "$status" -eq 0 ] || fail "the page's test failed (status $status)"
