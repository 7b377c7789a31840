#!/usr/bin/env bash
# Fails when a file outside platform/ includes SDL, Xlib or POSIX terminal headers.
cd "$1" || exit 2
hits=$(grep -rn -E '#\s*include\s*[<"](SDL|termios|sys/ioctl|SDL2/|X11/)' \
  --include='*.cpp' --include='*.h' runtime console sound graph game 2>/dev/null)
if [ -n "$hits" ]; then
  echo "SDL or terminal headers outside platform/:"
  echo "$hits"
  exit 1
fi
echo "platform headers only in platform/"
