#!/usr/bin/env bash
# The first run on a machine that has none of the packages yet, measured
# without changing this one (as root): in a private mount namespace an
# overlay over / takes every write; in it the packages scripts/deps.sh lists
# are purged, with all that only they needed (so the compiler, cmake and
# ccache go too: a bare Debian 12), then `bash scripts/run.sh` runs from a
# fresh clone: apt-get fetches and installs the game's packages, the game is
# built and started on a private Xvfb of this machine. Prints the seconds to
# "Building", to the title, and the packages installed.
#   bash bench/first_run_new_machine.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "run as root (mount namespace, chroot)" >&2; exit 2; }
if [ -z "${DISPLAY_FOR_NEW_MACHINE:-}" ]; then
  DISPLAY_FOR_NEW_MACHINE=1 exec bash "$here/graph/xvfb_run.sh" unshare -m --propagation private bash "$0"
fi
work=$(mktemp -d)
m=$work/merged
mkdir -p "$work/upper" "$work/overlay-work" "$m"
game=
cleanup() {
  if [ -n "$game" ]; then kill "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true; fi
  umount -R "$m" 2>/dev/null || umount -lR "$m" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/overlay-work" "$m"
mount --rbind /dev "$m/dev"
mount -t proc proc "$m/proc"
mount --rbind /sys "$m/sys"
mount --bind /tmp/.X11-unix "$m/tmp/.X11-unix"

# Everything deps.sh lists, then what nothing needs any more.
mapfile -t listed < <(sed -n '/^game=(/,/^)/p; /^packages=(/,/^)/p' "$top/scripts/deps.sh" |
  sed 's/#.*//' | tr ' ()' '\n\n\n' | grep -E '^[a-z0-9][a-z0-9.+-]+$' || true)
chroot "$m" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${listed[@]}" ccache >"$work/purge.log" 2>&1
chroot "$m" env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -qq >>"$work/purge.log" 2>&1
echo "purged: $(grep -c '^Removing' "$work/purge.log") packages; g++ now: $(chroot "$m" sh -c 'command -v g++ || echo none')"

pixel() {
  /usr/bin/import -window root -crop "1x1+$(($1 + 1))+$(($2 + 1))" -depth 8 txt:- 2>/dev/null | tail -n1 | grep -o '#[0-9A-F]\{6\}'
}
git clone -q "$top" "$m/root/clone"
start=$(date +%s.%N)
chroot "$m" env DISPLAY="$DISPLAY" bash /root/clone/scripts/run.sh </dev/null >"$work/out" 2>&1 &
game=$!
building=
until [ -x "$m/root/clone/build/stackfall" ] && [ "$(pixel 67 37)" = "#800080" ]; do
  if [ -z "$building" ] && grep -q '^Building' "$work/out"; then building=$(date +%s.%N); fi
  kill -0 "$game" 2>/dev/null || { cat "$work/out" >&2; echo "run.sh ended before the title" >&2; exit 1; }
  [ $(($(date +%s) - ${start%.*})) -lt 1800 ] || { echo "no title in 30 minutes" >&2; exit 1; }
  sleep 0.5
done
end=$(date +%s.%N)
awk -v a="$start" -v b="${building:-$end}" -v c="$end" 'BEGIN {
  printf "packages installed after %.1f s; title after %.1f s (building: %.1f s)\n", b - a, c - a, c - b }'
sed -n 's/^Installing: //p' "$work/out" | wc -w | sed 's/^/packages asked for: /'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
