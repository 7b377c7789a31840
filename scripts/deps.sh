#!/usr/bin/env bash
# Installs what building, playing and testing Stack Fall need on Debian 12:
# only the packages that are missing, quietly. Safe to run again and again.
#   bash scripts/deps.sh          everything: the game, the tests, the benchmarks
#   bash scripts/deps.sh --game   only what building and playing the game need
#   bash scripts/deps.sh --web    what the browser build, its test and its
#                                 benchmarks need (the glyph table is made natively)
set -euo pipefail

game=(
  cmake g++ make pkg-config                  # build
  libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core  # window, sound, text
  libx11-dev                                 # the window's X error handlers
)
packages=(
  "${game[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev # tests and benchmarks
  xvfb xauth xdotool imagemagick tmux procps # end-to-end tests
  x11-utils evilwm                           # window properties; full screen needs a window manager
  weston xwayland                            # the game on a Wayland desktop
  libxtst-dev                                # the game probe (XTest)
  clang libclang-rt-14-dev valgrind          # fuzzing and leak checks
  pulseaudio pulseaudio-utils                # sound tests: a real sound server
  dpkg-dev file lintian desktop-file-utils   # the Debian package and its checks
  appstream                                  # the AppStream metadata's check
)
web=(
  "${game[@]}"
  emscripten                                 # the compiler for the browser
  chromium                                   # the browser the tests drive
  python3                                    # the page's server
  procps gzip                                # the benchmarks' CPU and sizes
)
# npm comes with some builds of nodejs; Debian's own needs its package.
command -v npm >/dev/null || web+=(npm)
case "${1:-}" in
  --game) packages=("${game[@]}") ;;
  --web) packages=("${web[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
