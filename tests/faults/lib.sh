# Shared by the fault scripts (sourced): the key burst, on top of the common
# harness. Depends on: tests/support/lib.sh. Needs $BUILD.
: "${BUILD:?BUILD must name the build folder}"

source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

# ---------------------------------------------------------------- the burst: 10,000 keys typed while the program holds off reading
# Letters and digits, q left out (it would end the program).
burst_keys() { head -c 10000 < <(yes 'abcdefghijklmnoprstuvwxyz0123456789' | tr -d '\n'); }
# Before the burst: the bell of a pane rings a file.
hear_bell() { tm set-hook -g alert-bell "run-shell 'touch $work/bell'"; }
# check_burst <pane> <keys typed>: once all are in, 33 wait and 9,967 were
# lost with the bell; released, the 33 come in the order typed, nothing more
# lost.
check_burst() {
  local pane=$1 keys=$2
  lost_so_far() { pane_text "$pane" | grep '^held:' | tail -n 1; }
  wait_steady "9,967 keys lost" lost_so_far pane_has "$pane" "held: 9967 keys lost"
  touch "$work/go"
  read_keys() { [ "$(pane_text "$pane" | grep -c '^char ')" -ge 33 ]; }
  wait_for "the 33 keys" read_keys
  local got
  got=$(pane_text "$pane" | sed -n "s/^char [0-9A-F]*H '\(.\)'.*/\1/p" | tr -d '\n')
  [ "$got" = "${keys:0:33}" ] || fail "burst: read '$got', typed '${keys:0:33}'"
  [ "$(pane_text "$pane" | grep '^held:' | tail -n 1)" = "held: 9967 keys lost" ] || fail "burst: another number of keys lost"
  test -e "$work/bell" || fail "burst: no bell for the lost keys"
}
