# Sourced by the tests that drive a real X server. Each test gets a private Xvfb on a display
# number the server picks itself (-displayfd), so tests run side by side never share a display,
# and optionally a window manager. Every wait polls for the state it needs, with a bound long
# enough for a loaded machine; a bound that runs out says what was awaited and what was seen.
#
#   xs_start [--wm] [WxHxD]   start the server (and openbox), export DISPLAY; stopped at exit
#   xs_wait DESC CMD...       poll CMD until it succeeds; on timeout print DESC and "$XS_SEEN"'s output
#   xs_window REGEX           wait for a visible window whose name matches; print its id
#   xs_gone REGEX             wait until no visible window's name matches
#   xs_active REGEX           wait until the active window's name matches
#   xs_count REGEX N          wait until exactly N visible windows' names match
#   xs_line FILE REGEX        wait until FILE's last line matches (an extended regex)
#   xs_popup CLASS            wait until CLASS shows a window besides its main one (a menu open)
#   xs_no_popup CLASS         wait until CLASS shows its main window alone
#   xs_no_splash CLASS        wait until CLASS shows no splash window
#   xs_exit PID               wait for PID (a child of this shell) to end; its status in XS_RC
#   xs_same A.png B.png       the two pictures are the same, pixel for pixel
#   xs_shot FILE [BEFORE]     take a screenshot once the screen differs from BEFORE (when given)
#                             and two screenshots in a row agree (nothing is still painting)
#
# XS_BOUND (seconds, default 60) bounds every wait. XS_SEEN, when set, is a command whose output
# tells what was seen instead, printed when a wait runs out.

XS_BOUND=${XS_BOUND:-60}
XS_SEEN=${XS_SEEN:-}
XS_PIDS=()

xs_missing() {  # xs_missing TOOL...: exit 77 (skipped) naming the first tool that is not installed
  local t
  for t in "$@"; do command -v "$t" >/dev/null || { echo "$t is not installed"; exit 77; }; done
}

xs_stop() {
  local p
  for p in "${XS_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${XS_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  XS_PIDS=()
  [ -n "${XS_DIR:-}" ] && rm -rf "$XS_DIR"
  XS_DIR=
}

xs_wait() {  # xs_wait DESC CMD...
  local desc=$1; shift
  local deadline=$((SECONDS + XS_BOUND))
  while :; do
    "$@" >/dev/null 2>&1 && return 0
    if [ $SECONDS -ge $deadline ]; then
      local seen=""
      [ -n "$XS_SEEN" ] && seen=$(eval "$XS_SEEN" 2>&1 | tail -3)
      echo "timed out after ${XS_BOUND} s waiting for $desc${seen:+; saw: $seen}" >&2
      return 1
    fi
    sleep 0.05
  done
}

xs_start() {
  local wm=0 screen=1024x768x24
  if [ "${1:-}" = --wm ]; then wm=1; shift; fi
  [ -n "${1:-}" ] && screen=$1
  xs_missing Xvfb xdotool
  [ $wm = 1 ] && xs_missing openbox wmctrl
  XS_DIR=$(mktemp -d)
  trap xs_stop EXIT
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$XS_DIR/display" >"$XS_DIR/xvfb.log" 2>&1 &
  XS_PIDS+=($!)
  XS_SEEN="cat $XS_DIR/xvfb.log" xs_wait "Xvfb to name its display" grep -q . "$XS_DIR/display" || exit 1
  export DISPLAY=":$(head -1 "$XS_DIR/display")"
  XS_SEEN="cat $XS_DIR/xvfb.log" xs_wait "the X server $DISPLAY to answer" xdotool getmouselocation || exit 1
  if [ $wm = 1 ]; then
    openbox >"$XS_DIR/openbox.log" 2>&1 &
    XS_PIDS+=($!)
    XS_SEEN="cat $XS_DIR/openbox.log" xs_wait "openbox to manage $DISPLAY" wmctrl -m || exit 1
  fi
}

xs_window() {
  local id
  _xs_find() { id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1); [ -n "$id" ]; }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "a visible window named /$1/" _xs_find "$1" || return 1
  echo "$id"
}

xs_gone() {
  _xs_none() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "no visible window named /$1/" _xs_none "$1"
}

xs_active() {
  _xs_isactive() { xdotool getactivewindow getwindowname 2>/dev/null | grep -Eq -- "$1"; }
  XS_SEEN=${XS_SEEN:-"xdotool getactivewindow getwindowname"} xs_wait "the active window to be /$1/" _xs_isactive "$1"
}

xs_count() {
  _xs_n() { [ "$(xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l)" = "$2" ]; }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "$2 visible windows named /$1/" _xs_n "$1" "$2"
}

xs_line() {
  _xs_last() { [ -s "$1" ] && tail -1 "$1" | grep -Eq -- "$2"; }
  XS_SEEN=${XS_SEEN:-"tail -1 $1"} xs_wait "the last line of $1 to match /$2/" _xs_last "$1" "$2"
}

xs_shown() { xdotool search --onlyvisible --classname "$1" 2>/dev/null | wc -l; }  # CLASS's shown windows

xs_popup() {
  _xs_more() { [ "$(xs_shown "$1")" -gt 1 ]; }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "a window of $1 besides its main one" _xs_more "$1"
}

xs_no_popup() {
  _xs_alone() { [ "$(xs_shown "$1")" = 1 ]; }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "$1's main window alone" _xs_alone "$1"
}

xs_no_splash() {
  _xs_splashless() {
    local w
    for w in $(xdotool search --onlyvisible --classname "$1" 2>/dev/null); do
      xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q SPLASH && return 1
    done
    return 0
  }
  XS_SEEN=${XS_SEEN:-"xs_names"} xs_wait "$1's splash to go" _xs_splashless "$1"
}

xs_exit() {
  _xs_ended() { ! kill -0 "$1" 2>/dev/null; }
  xs_wait "process $1 to end" _xs_ended "$1" || return 1
  XS_RC=0
  wait "$1" 2>/dev/null || XS_RC=$?
}

xs_names() {  # the names of the visible windows, one line
  local w
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    printf '%s | ' "$(xdotool getwindowname "$w" 2>/dev/null)"
  done
}

xs_same() { [ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

_xs_settled() {
  /usr/bin/import -window root "$1" || return 1
  if [ -n "$2" ] && xs_same "$1" "$2"; then return 1; fi
  if [ -f "$1.prev" ] && xs_same "$1" "$1.prev"; then rm -f "$1.prev"; return 0; fi
  cp "$1" "$1.prev"; return 1
}

xs_shot() {
  rm -f "$1.prev"
  xs_wait "the screen to settle into $1" _xs_settled "$1" "${2:-}"
}
