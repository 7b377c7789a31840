#!/usr/bin/env bash
# The committed wave files are exactly what make_sounds makes, and stay small.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$BUILD/sounds/make_sounds" "$out"
total=0
for f in thx startup any_key wohoo game_over; do
  cmp "$out/$f.wav" "$SOURCE/sounds/$f.wav"
  total=$((total + $(stat -c %s "$SOURCE/sounds/$f.wav")))
done
echo "five sounds, $total bytes"
[ "$total" -lt 300000 ]
