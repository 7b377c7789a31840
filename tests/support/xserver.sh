# A private X server for a test or benchmark script (sourced).
#
# start_xserver <depth> <folder> [WxH]: starts Xvfb with a screen of that
# depth, 1024 x 768 unless a size is given, on a display number of its own
# choosing (-displayfd, so that scripts running side by side never meet),
# never resets (-noreset: a reset when the last client goes would refuse a
# program started in that moment and wipe the root's properties), waits
# until it answers, exports DISPLAY and sets xserver_pid; its messages go
# to <folder>/xserver.*.err.
# Returns non-zero, with those messages on stderr, when it does not come up
# within 60 s. The caller kills it by xserver_pid.
start_xserver() {
  local depth=$1 size=${3:-1024x768} base
  base=$(mktemp "$2/xserver.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "${size}x$depth" -nolisten tcp -noreset 3>"$base.display" 2>"$base.err" &
  xserver_pid=$!
  local end=$((SECONDS + 60))
  # The number comes when the server listens; it must also answer before a
  # program is started on it, so that a program that cannot use the display
  # is that program's fault.
  until [ -s "$base.display" ] &&
    DISPLAY=":$(head -n1 "$base.display")" xdotool getdisplaygeometry >/dev/null 2>&1; do
    if [ $SECONDS -ge $end ] || ! kill -0 "$xserver_pid" 2>/dev/null; then
      echo "Xvfb did not come up:" >&2
      cat "$base.err" >&2
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$base.display")"
  unset SDL_VIDEODRIVER
}
