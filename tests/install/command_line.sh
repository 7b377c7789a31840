#!/usr/bin/env bash
# stackfall's arguments, run in a terminal (a tmux pane) with a display that
# does not exist: --help and --version answer on standard output with
# status 0; anything else is one line of error and the usage line on
# standard error with status 2. None of them writes a word about the
# display (none is opened) and the terminal's settings (stty -g) are what
# they were before. An argument holding an escape sequence is shown escaped.
#   command_line.sh VERSION
set -euo pipefail
source "$(dirname "$0")/../faults/lib.sh"
version=${1:?usage: command_line.sh VERSION}
game=$BUILD/stackfall
export DISPLAY=:65000  # any attempt at it would be reported on stderr

# run <name> <status> <arguments...>: in a pane of its own, output to files.
run() {
  local name=$1 status=$2
  shift 2
  local args
  args=$(printf ' %q' "$@")
  start_pane "$name" "\"$game\"$args >\"$work/$name.out\" 2>\"$work/$name.err\""
  logs+=("$work/$name.out" "$work/$name.err")
  given_back "$name" "$status"
}

run help 0 --help
[ ! -s "$work/help.err" ] || fail "--help wrote on stderr"
for want in "Usage: stackfall [--help | --version]" "  4  move the piece left" \
  "  1  fall faster" "../share/stackfall/sounds" "man 6 stackfall"; do
  grep -qF -- "$want" "$work/help.out" || fail "--help lacks '$want'"
done

run version 0 --version
[ "$(cat "$work/version.out")" = "stackfall $version" ] || fail "--version: $(cat "$work/version.out")"
[ ! -s "$work/version.err" ] || fail "--version wrote on stderr"

usage="Usage: stackfall [--help | --version]"
refused() {  # refused <name> <argument shown>
  [ ! -s "$work/$1.out" ] || fail "$1: wrote on stdout"
  [ "$(cat "$work/$1.err")" = "stackfall: unexpected argument '$2'"$'\n'"$usage" ] || fail "$1: $(cat -v "$work/$1.err")"
}
run bad 2 --colour
refused bad --colour
run extra 2 --version now
refused extra now
run escape 2 $'\e[?1049h\e]0;title\a'
refused escape '\x1B[?1049h\x1B]0;title\x07'
echo "ok: unknown arguments refused with status 2, escape sequences shown escaped"

# An answer that cannot be written is no success.
status=0
"$game" --help >/dev/full 2>"$work/full.err" || status=$?
[ "$status" = 1 ] && grep -q 'cannot write' "$work/full.err" || fail "--help into a full disk: status $status"
echo "ok: --help into a full disk fails with status 1"
