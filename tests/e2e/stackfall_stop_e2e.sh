#!/usr/bin/env bash
# End to end: stackfall stopped and continued from outside, run by an
# interactive shell (job control) in a tmux pane, twice:
#  1. with its window under Xvfb: kill -TSTP, then fg; kill -STOP, then fg;
#  2. in the terminal view: kill -TSTP (the main screen back while stopped),
#     then fg; kill -STOP, then kill -CONT, which continues it in the
#     background, where it stops again (the terminal stays the shell's), then fg.
# Each time: the shell's modes while stopped are those before the start;
# after fg the game's raw mode is back (the view on the alternate screen,
# repainted whole) and a terminal key moves the piece. N ends each run with
# status 0 and the terminal as it was.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
termcells=$BUILD/tests/e2e/termcells

start_xvfb
tty_of() { tm display-message -p -t "$1" '#{pane_tty}'; }
# The game's raw mode: no canonical input and no suspend character (the
# shell's line editor also reads without canonical input).
game_raw() {
  local modes
  modes=$(stty -a -F "$(tty_of "$1")")
  grep -qw -- -icanon <<<"$modes" && grep -qF 'susp = <undef>' <<<"$modes"
}
stopped() { [ "$(awk '{ print $3 }' "/proc/$1/stat")" = T ]; }
running() { ! stopped "$1"; }
type_in() { tm send-keys -t "$pane" "$@"; }
# A command typed at the shell's prompt, and its line of output waited for.
at_prompt() {  # at_prompt <file> <command>
  rm -f "$1"
  type_in "$2 >$1" Enter
  wait_for "the shell to run $2" test -s "$1"
}

# Where the falling piece is: from a screenshot of the window, or from a
# capture of the pane.
window_piece() { shot && cells piece 15; }
view_cap() { tm capture-pane -t "$pane" -e -N -p >"$work/cap"; }
view_piece() { view_cap && "$termcells" piece 15 <"$work/cap"; }
alternate() { [ "$(tm display-message -p -t "$pane" '#{alternate_on}')" = "$1" ]; }
piece_at() { [[ "$($piece)" == "at $1 "* ]]; }
any_piece() { [[ "$($piece)" == at* ]]; }

# start <pane> <game's environment>: the game started from an interactive
# shell, in play with its first piece.
start() {
  pane=$1
  if tm has-session 2>/dev/null; then tm new-window -d -n "$pane" "bash --noprofile --norc -i"; else
    tm new-session -d -x 100 -y 50 -n "$pane" "bash --noprofile --norc -i"; fi
  at_prompt "$work/$pane.before" "stty -g"
  type_in "env $2 \"$game\" 2>$work/$pane.err" Enter
  local shell
  shell=$(tm display-message -p -t "$pane" '#{pane_pid}')
  pids+=("$shell")
  game_of() { pid=$(pgrep -P "$shell" -x stackfall); }
  wait_for "$pane: the game" game_of
  pids+=("$pid")
  # Keys typed before the game takes the terminal are echoed by the shell's
  # line discipline and dropped at the start: wait for its title first.
  wait_for "$pane: raw mode at the start" game_raw "$pane"
  wait_for "$pane: the title" $title
  type_in x x
  wait_for "$pane: the first piece" piece_at 11
}

# stop <signal> [cont]: stopped, checked while stopped, continued (by kill
# -CONT first, when asked, then by fg), checked, a key typed.
stop() {
  local sig=$1
  kill -"$sig" "$pid"
  shell_has_it() { [ "$(tm display-message -p -t "$pane" '#{pane_current_command}')" = bash ]; }
  wait_for "$pane: the shell to take the terminal at SIG$sig" shell_has_it
  if [ "$piece" = view_piece ] && [ "$sig" = TSTP ]; then
    alternate 0 || fail "$pane: SIG$sig: the view still shown while stopped"
  fi
  # At its prompt the line editor has modes of its own: a command sees the shell's.
  at_prompt "$work/$pane.stopped" "stty -g"
  cmp -s "$work/$pane.before" "$work/$pane.stopped" || fail "$pane: SIG$sig: the modes while stopped are not those before"
  if [ "${2:-}" = cont ]; then
    # Continued in the background, the game stops again (SIGTTOU) and leaves
    # the terminal to the shell, which then sees a stopped job for its fg.
    # It ran in between: its threads' context switches grew.
    switches() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
    local before
    before=$(switches)
    kill -CONT "$pid"
    stopped_again() { [ "$(switches)" -gt "$before" ] && stopped "$pid"; }
    wait_for "$pane: the game stopped again in the background" stopped_again
    ! game_raw "$pane" || fail "$pane: continued in the background, the game took the terminal"
    echo "ok: $pane: continued in the background, it stops again and the terminal stays the shell's"
  fi
  type_in fg Enter
  wait_for "$pane: the game continued by fg (SIG$sig)" running "$pid"
  wait_for "$pane: raw mode after fg (SIG$sig)" game_raw "$pane"
  if [ "$piece" = view_piece ]; then
    wait_for "$pane: the view back after fg" alternate 1
    no_shell_text() { ! pane_text "$pane" | grep -q 'bash-'; }
    wait_for "$pane: the view repainted whole over the shell's lines" no_shell_text
  fi
  wait_for "$pane: the piece shown after fg (SIG$sig)" any_piece
  local column
  column=$($piece | awk '{ print $2 }')
  type_in 4
  wait_for "$pane: the piece moved by a terminal key after SIG$sig" piece_at $((column - 1))
  echo "ok: $pane: SIG$sig: the shell's modes while stopped; after fg raw mode, a key moves the piece"
}

# end <game over>: N at the game over, the status and the modes compared.
end() {
  type_in q
  wait_for "$pane: the game-over screen" "$1"
  type_in N
  wait_for "$pane: the game to end" gone "$pid"
  type_in "echo \$? >$work/$pane.status; stty -g >$work/$pane.after" Enter
  given_back "$pane" 0
  clean_log "$work/$pane.err" "$pane: stopped and continued"
}

piece=window_piece
title=shows_title
start window ""
stop TSTP
stop STOP
end shows_game_over

piece=view_piece
title="alternate 1"
question() { view_cap && [ "$("$termcells" text 33 <"$work/cap")" = "   Druk op een n voor nieuw spel." ]; }
start view "-u DISPLAY STACKFALL_VIEW=terminal COLORTERM=truecolor LANG=C.UTF-8"
stop TSTP
stop STOP cont
end question
alternate 0 || fail "view: not back on the main screen"
