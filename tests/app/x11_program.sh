# Sourced by the tests that drive the real program under X (after tests/support/xsession.sh).
# Its splash, its main window and its popup menus all have the name "Veltrazone Glyphscope";
# the menus are the windows of its class that the window manager does not manage (override
# redirect) and are not tool tips.
#
#   xp_main_window     wait until the main window is the active one and the splash has gone;
#                      print the main window's id
#   xp_popup_shows     wait until one of its popup menus shows
#   xp_origin ID       the screen position of a window's client area: X Y
#   xp_stop PID        end the program and reap it
#   xp_work DIR...     a fresh $WORK holding DIR... and a private runtime folder, made the
#                      current folder, the program's store in it, under X (not offscreen);
#                      fail MESSAGE counts into $failures

XP_MAIN='^Veltrazone Glyphscope$'

xp_main_window() {
  xs_active "$XP_MAIN" || return 1
  xs_count "$XP_MAIN" 1 || return 1  # the splash goes right after the main window shows
  xdotool getactivewindow
}

xp_popup_shows() {
  _xp_popup() {
    local w
    for w in $(xdotool search --onlyvisible --class glyphscope 2>/dev/null); do
      xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
        ! xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && return 0
    done
    return 1
  }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "a popup menu of the program" _xp_popup
}

xp_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}

xp_stop() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

xp_work() {
  rm -rf "$WORK"; mkdir -p "$WORK/run" && chmod 700 "$WORK/run" && cd "$WORK" || exit 1
  [ $# -gt 0 ] && mkdir -p "$@"
  unset QT_QPA_PLATFORM
  export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
  failures=0
  fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
}
