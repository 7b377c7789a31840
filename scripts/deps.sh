#!/usr/bin/env bash
# Installs what building, playing and testing Stack Fall need on Debian 12:
# only the packages that are missing, quietly. Safe to run again and again.
#   bash scripts/deps.sh          everything: the game, the tests, the benchmarks
#   bash scripts/deps.sh --game   only what building and playing the game need
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
[ "${1:-}" = --game ] && packages=("${game[@]}")

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
