#!/usr/bin/env bash
# stackfall's arguments, run in a terminal (a tmux pane) with a display that
# does not exist: --help and --version answer on standard output with
# status 0; anything else is one line of error and the usage line on
# standard error with status 2, and so is a bad --scale; a bad
# STACKFALL_SCALE is the error line alone. None of them writes a word about
# the display (none is opened) and the terminal's settings (stty -g) are what
# they were before. An argument holding an escape sequence is shown escaped.
#   command_line.sh VERSION
set -euo pipefail
source "$(dirname "$0")/../faults/lib.sh"
version=${1:?usage: command_line.sh VERSION}
game=$BUILD/stackfall
export DISPLAY=:65000  # any attempt at it would be reported on stderr

# run <name> <status> <arguments...>: in a pane of its own, output to files,
# with the environment's settings in $settings (NAME=value ...).
settings=()
run() {
  local name=$1 status=$2
  shift 2
  local args
  args=$(printf ' %q' env "${settings[@]}" "$game" "$@")
  start_pane "$name" "$args >\"$work/$name.out\" 2>\"$work/$name.err\""
  logs+=("$work/$name.out" "$work/$name.err")
  given_back "$name" "$status"
}

run help 0 --help
[ ! -s "$work/help.err" ] || fail "--help wrote on stderr"
for want in "Usage: stackfall [--scale N] [--fullscreen] | --help | --version" "  4  move the piece left" \
  "  1  fall faster" "../share/stackfall/sounds" "man 6 stackfall" "  --scale N" "  --fullscreen" \
  "F11 or Alt+Enter" "STACKFALL_SCALE=N"; do
  grep -qF -- "$want" "$work/help.out" || fail "--help lacks '$want'"
done

run version 0 --version
[ "$(cat "$work/version.out")" = "stackfall $version" ] || fail "--version: $(cat "$work/version.out")"
[ ! -s "$work/version.err" ] || fail "--version wrote on stderr"

usage="Usage: stackfall [--scale N] [--fullscreen] | --help | --version"
said() {  # said <name> <error line> [usage]: that on stderr, nothing on stdout
  [ ! -s "$work/$1.out" ] || fail "$1: wrote on stdout"
  [ "$(cat "$work/$1.err")" = "$2${3:+$'\n'$usage}" ] || fail "$1: $(cat -v "$work/$1.err")"
}
refused() { said "$1" "stackfall: unexpected argument '$2'" usage; }  # refused <name> <argument shown>
run bad 2 --colour
refused bad --colour
run extra 2 --version now
refused extra now
run escape 2 $'\e[?1049h\e]0;title\a'
refused escape '\x1B[?1049h\x1B]0;title\x07'
run with_help 2 --fullscreen --help
refused with_help --fullscreen
echo "ok: unknown arguments refused with status 2, escape sequences shown escaped"

# Scales: a whole number from 1 to 8, from --scale N, --scale=N or STACKFALL_SCALE.
bad_scale() { said "$1" "stackfall: --scale '$2' is not a whole number from 1 to 8" usage; }
run scale_0 2 --scale 0
bad_scale scale_0 0
run scale_9 2 --fullscreen --scale=9
bad_scale scale_9 9
run scale_half 2 --scale 2.5
bad_scale scale_half 2.5
run scale_sign 2 --scale +2
bad_scale scale_sign +2
run scale_none 2 --fullscreen --scale
said scale_none "stackfall: --scale needs a whole number from 1 to 8" usage
settings=(STACKFALL_SCALE=$'big\e[2J')
run env_scale 2 --scale 2
said env_scale "stackfall: STACKFALL_SCALE='big\x1B[2J' is not a whole number from 1 to 8"
settings=()
echo "ok: bad scales refused with status 2, the terminal and the display untouched"

# An answer that cannot be written is no success.
status=0
"$game" --help >/dev/full 2>"$work/full.err" || status=$?
[ "$status" = 1 ] && grep -q 'cannot write' "$work/full.err" || fail "--help into a full disk: status $status"
echo "ok: --help into a full disk fails with status 1"
