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
#   xp_menu            the id of the popup menu showing (fails when none shows)
#   xp_box ID          a window's client area on the screen: X Y WIDTH HEIGHT
#   xp_geometry REGEX  that of the visible window whose name matches
#   xp_under REGEX X Y whether that window covers the point
#   xp_drag REGEX [--dock] X,Y X,Y...
#                      press at the first point and move through the others; a point written
#                      X,Y+ is out in the open, where the window named must have come under the
#                      mouse before the next step; with --dock the last point is on a dock and
#                      the button goes up once that window has gone
#   xp_work DIR...     a fresh $WORK holding DIR... and a private runtime folder, made the
#                      current folder, the program's store in it, under X (not offscreen);
#                      fail MESSAGE counts into $failures
#   xp_home            a home and settings folder of its own in $WORK (dialogs open there)

XP_MAIN='^Veltrazone Glyphscope$'

xp_main_window() {
  xs_active "$XP_MAIN" || return 1
  xs_count "$XP_MAIN" 1 || return 1  # the splash goes right after the main window shows
  xdotool getactivewindow
}

xp_menu() {
  local w
  for w in $(xdotool search --onlyvisible --class glyphscope 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
      ! xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && { echo "$w"; return 0; }
  done
  return 1
}

xp_popup_shows() {
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "a popup menu of the program" xp_menu
}

xp_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}

xp_stop() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

xp_box() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print x, y, w, h}'
}

xp_geometry() {
  local id; id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1); [ -n "$id" ] && xp_box "$id"
}

xp_under() {
  local x y w h; read -r x y w h < <(xp_geometry "$1") || return 1
  [ "$2" -ge "$x" ] && [ "$2" -lt $((x + w)) ] && [ "$3" -ge "$y" ] && [ "$3" -lt $((y + h)) ]
}

xp_drag() {
  local name=$1 dock=0 p open; shift
  [ "$1" = --dock ] && { dock=1; shift; }
  p=$1; shift
  xdotool mousemove ${p%,*} ${p#*,} mousedown 1
  for p in "$@"; do
    open=0
    [ "${p%+}" != "$p" ] && open=1 p=${p%+}
    xdotool mousemove ${p%,*} ${p#*,}
    if [ $open = 1 ]; then
      XS_SEEN="xp_geometry '$name'" xs_wait "/$name/ under $p" xp_under "$name" ${p%,*} ${p#*,} || break
    fi
  done
  [ $dock = 1 ] && XS_SEEN=xs_names xs_count "$name" 0
  xdotool mouseup 1
}

xp_work() {
  rm -rf "$WORK"; mkdir -p "$WORK/run" && chmod 700 "$WORK/run" && cd "$WORK" || exit 1
  [ $# -gt 0 ] && mkdir -p "$@"
  unset QT_QPA_PLATFORM
  export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
  failures=0
  fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
}

xp_home() {
  mkdir -p "$WORK/home"
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
}
