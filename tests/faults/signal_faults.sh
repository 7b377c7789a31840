#!/usr/bin/env bash
# The ways a program ends without asking, each in a tmux pane of its own:
# a signal from outside whose default action ends the process (keytest
# killed), a crash of each kind and an uncaught exception (crashtest). Each
# time the terminal's settings come back as they were, and the status names
# the signal; a crash still writes its core file. Sanitizer builds leave the
# crash signals to the sanitizers: there only the exception is tried.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
keytest=$BUILD/keytest
crashtest=$BUILD/tests/faults/crashtest

# ---------------------------------------------------------------- signals from outside
ending=(USR1 USR2 ALRM VTALRM PROF XCPU XFSZ PWR SYS RTMIN)
for sig in "${ending[@]}"; do start_pane "$sig" "ulimit -c 0; \"$keytest\" 2>\"$work/$sig.err\""; done
for sig in "${ending[@]}"; do
  wait_for "keytest in the $sig pane" pane_has "$sig" "press keys"
  kill -"$sig" "$(pgrep -P "$(cat "$work/$sig.pid")" -x keytest)"
done
for sig in "${ending[@]}"; do given_back "$sig" $((128 + $(kill -l "$sig"))); done

# ---------------------------------------------------------------- crashes and an uncaught exception
sanitize=$(grep '^STACKFALL_SANITIZE:' "$BUILD/CMakeCache.txt") || fail "no STACKFALL_SANITIZE in $BUILD/CMakeCache.txt"
if [ -z "${sanitize#*=}" ]; then
  crashes=(segv:SEGV bus:BUS fpe:FPE ill:ILL abort:ABRT overflow:SEGV throw:ABRT)
else
  crashes=(throw:ABRT)
fi
for crash in "${crashes[@]}"; do
  how=${crash%:*}
  mkdir "$work/$how"
  start_pane "$how" "cd \"$work/$how\" && ulimit -c unlimited && \"$crashtest\" $how 2>\"$work/$how.err\""
done
for crash in "${crashes[@]}"; do
  how=${crash%:*}
  given_back "$how" $((128 + $(kill -l "${crash#*:}")))
  # A core file where the kernel writes plain files into the working folder.
  if [ ${#crashes[@]} -gt 1 ] && [[ "$(cat /proc/sys/kernel/core_pattern)" != *[/\|]* ]]; then
    compgen -G "$work/$how/core*" >/dev/null || fail "$how: no core file"
    echo "ok: $how: core file written"
  fi
done
grep -q "terminate called after throwing an instance of 'std::runtime_error'" "$work/throw.err" ||
  fail "throw: the standard report of the exception is missing"
