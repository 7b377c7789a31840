#!/usr/bin/env bash
# Builds Stack Fall and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/stackfall ]; then
  exec build/stackfall
fi
echo "build/stackfall was not built" >&2
exit 1
