#!/usr/bin/env bash
# The game as a player gets it, away from the source and build trees:
#   installed_game.sh package VERSION   cpack -G DEB in the build folder: the
#       package's name and fields, lintian without errors or warnings, then
#       unpacked with dpkg-deb -x into a temporary root;
#   installed_game.sh prefix VERSION    cmake --install into a temporary
#       prefix, which is then moved elsewhere.
# Either way every file is where it belongs, the desktop entry passes
# desktop-file-validate, the AppStream metadata appstreamcli validate (its
# one warning, an id that is no reverse domain name, is the price of an id
# that is the desktop entry's name), and the game, started from an empty
# folder under its own Xvfb, shows its title in a window whose WM_CLASS is
# the desktop entry's StartupWMClass and whose icon is the game's 64-pixel
# one, while its start-up check plays the check
# sound installed with it (SDL's disk driver plays into a file): "Sound works
# fine!". With that one file broken the check fails, so the sound came from
# the install and not from the source tree the program was built from.
set -euo pipefail
. "$(dirname "$0")/../e2e/lib.sh"
mode=${1:?usage: installed_game.sh package|prefix VERSION}
version=${2:?usage: installed_game.sh package|prefix VERSION}

# ---------------------------------------------------------------- making it
if [ "$mode" = package ]; then
  (cd "$BUILD" && cpack -G DEB -B "$work/deb") >"$work/cpack.out" 2>&1 || fail "cpack: $(tail -n 20 "$work/cpack.out")"
  deb=$work/deb/stackfall_${version}_$(dpkg --print-architecture).deb
  [ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/deb")"
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package) $(field Version) $(field Section)" = "stackfall $version games" ] ||
    fail "package, version, section: $(field Package) $(field Version) $(field Section)"
  [[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer: $(field Maintainer)"
  # From dpkg-shlibdeps: the libraries the program links, with versions.
  [[ "$(field Depends)" =~ libsdl2-2\.0-0\ \(\>=\ [0-9.]+\) ]] || fail "depends: $(field Depends)"
  [ "$(field Description | wc -l)" -ge 3 ] || fail "no long description: $(field Description)"
  lintian --fail-on error,warning "$deb" >"$work/lintian.out" 2>&1 || fail "lintian: $(cat "$work/lintian.out")"
  echo "ok: $(basename "$deb"): fields, lintian clean"
  dpkg-deb -x "$deb" "$work/root"
  root=$work/root/usr
  bin=games  # Debian keeps a game's program there
else
  cmake --install "$BUILD" --prefix "$work/prefix" >"$work/install.out" 2>&1 || fail "install: $(cat "$work/install.out")"
  mv "$work/prefix" "$work/moved"
  root=$work/moved
  bin=bin
fi

# ---------------------------------------------------------------- where everything is
for f in "$bin/stackfall" share/applications/stackfall.desktop share/man/man6/stackfall.6.gz \
  share/icons/hicolor/48x48/apps/stackfall.png share/icons/hicolor/256x256/apps/stackfall.png \
  share/doc/stackfall/README.md share/doc/stackfall/quirks.md share/metainfo/stackfall.metainfo.xml; do
  [ -s "$root/$f" ] || fail "$f is missing"
done
for f in "$SOURCE"/sounds/*.wav; do
  cmp -s "$f" "$root/share/stackfall/sounds/$(basename "$f")" || fail "$(basename "$f") not installed"
done
[ -x "$root/$bin/stackfall" ] || fail "$bin/stackfall is not executable"
desktop-file-validate "$root/share/applications/stackfall.desktop" || fail "desktop entry"
zcat "$root/share/man/man6/stackfall.6.gz" | grep -q '^\.SH ENVIRONMENT' || fail "manual page"
metainfo=$root/share/metainfo/stackfall.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.out" 2>&1 || true
grep -E '^[EW]:' "$work/appstream.out" | grep -vq '^W: stackfall:[0-9]*: cid-desktopapp-is-not-rdns' &&
  fail "AppStream metadata: $(cat "$work/appstream.out")"
for want in "<id>stackfall</id>" '<launchable type="desktop-id">stackfall.desktop</launchable>' \
  "<release version=\"$version\"" "<binary>stackfall</binary>" "<category>BlocksGame</category>"; do
  grep -qF "$want" "$metainfo" || fail "the metainfo lacks $want"
done
echo "ok: every file in place, the desktop entry and the AppStream metadata valid"

# ---------------------------------------------------------------- started from there
start_xvfb
# check_sound <what> <verdict>: the installed game from an empty folder; its
# start-up check must end with that line. Ended by SIGTERM.
check_sound() {
  local run=$work/run-$1
  mkdir -p "$run"
  (cd "$run" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$run/audio.raw" \
    exec "$root/$bin/stackfall" </dev/null >"$work/$1.out" 2>"$work/$1.err") &
  local pid=$!
  pids+=("$pid")
  verdict() { grep -q '^Sound \(works\|doesn.t work\) on this computer' "$work/$1.out"; }
  wait_for "the sound verdict ($1)" verdict "$1"
  grep -qxF "$2" "$work/$1.out" || fail "$1: the check did not say '$2'"
  [ "$1" != found ] || { wait_for "the title picture" shows_title && identity; }
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
# identity: the window is the desktop entry's, and carries the game's icon.
identity() {
  local id wmclass
  id=$(xdotool search --name '^Graph$' | tail -n 1)
  wmclass=$(grep '^StartupWMClass=' "$root/share/applications/stackfall.desktop" | cut -d= -f2)
  [ -n "$wmclass" ] || fail "the desktop entry has no StartupWMClass"
  [ "$(xprop -id "$id" WM_CLASS)" = "WM_CLASS(STRING) = \"$wmclass\", \"$wmclass\"" ] ||
    fail "WM_CLASS: $(xprop -id "$id" WM_CLASS), the desktop entry's: $wmclass"
  xprop -id "$id" _NET_WM_ICON >"$work/icon.txt"
  grep -q 'Icon (64 x 64)' "$work/icon.txt" || fail "no icon of 64 x 64 on the window"
}
check_sound found "Sound works fine!"
echo "ok: the installed game shows its title in a window of WM_CLASS stackfall with its icon, and finds its sound"
printf 'no wave\n' >"$root/share/stackfall/sounds/thx.wav"
check_sound broken "Sound can NOT be used on your system!"
echo "ok: with the installed thx.wav broken the check fails: it was that file"
