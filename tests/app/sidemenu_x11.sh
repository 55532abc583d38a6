#!/usr/bin/env bash
# The real program's menu bar docked at the left under an X server and a window manager:
# dragged by its handle to the form's left edge it docks there, its captions turned to run
# down the bar; F10 and Alt+Space open the window menu, whose Close ends the program with 0;
# the next start shows the bar on the left again. Screenshots of each step stay in the work
# folder (start.png, left.png, menu.png, windowmenu.png, again.png).
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing xwininfo xprop /usr/bin/import /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/home"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$(dirname "$0")/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
origin() {  # the client area's top-left of a window: x y
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}
# The share of dark pixels in the strip along the form's left edge, where a bar docked at
# the left shows its turned captions (a blank list view otherwise), in thousandths.
left_ink() {
  /usr/bin/import -window root "$WORK/strip.png"
  /usr/bin/convert "$WORK/strip.png" -crop "16x240+$((cx + 4))+$((cy + 40))" +repage -colorspace Gray \
    -threshold 50% -negate -format '%[fx:int(mean*1000)]' info:
}
inked() { [ "$(left_ink)" -ge 20 ]; }
start() {
  "$GS" >"$WORK/out" 2>&1 & pid=$!
  main=$(xs_window "^Veltrazone Glyphscope") || { echo "FAIL: no main window: $(cat "$WORK/out")"; exit 1; }
  xs_no_splash glyphscope || exit 1
  xdotool windowactivate --sync "$main" 2>/dev/null
  xs_active "^Veltrazone Glyphscope" || exit 1
  read -r cx cy < <(origin "$main")
}
start
/usr/bin/import -window root "$WORK/start.png"
[ "$(left_ink)" -lt 20 ] || fail "something dark along the left edge before the drag"
# The menu bar's handle: the first row of the top dock. Dragged out into the open, where it
# floats under the mouse, then to the form's left edge, where it docks; each step given once
# the one before shows, and the button let go once the bar is docked.
floating_under() {  # whether the floating menu bar's window covers the point X Y
  local id x y w h
  id=$(xdotool search --onlyvisible --name '^Standard Menu$' 2>/dev/null | head -1); [ -n "$id" ] || return 1
  read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print x, y, w, h}')
  [ "$1" -ge "$x" ] && [ "$1" -lt $((x + w)) ] && [ "$2" -ge "$y" ] && [ "$2" -lt $((y + h)) ]
}
xdotool mousemove $((cx + 3)) $((cy + 10)) mousedown 1
xdotool mousemove $((cx + 300)) $((cy + 300))
XS_SEEN="xs_names" xs_wait "the menu bar floating under the mouse" floating_under $((cx + 300)) $((cy + 300)) ||
  fail "the menu bar dragged by its handle does not float"
xdotool mousemove $((cx + 1)) $((cy + 262))
XS_SEEN="left_ink" xs_wait "the menu bar's turned captions along the left edge" inked
xdotool mouseup 1
XS_SEEN="left_ink" xs_wait "the menu bar's turned captions along the left edge" inked || fail "the menu bar did not dock at the left"
/usr/bin/import -window root "$WORK/left.png"
xdotool key alt; xdotool key Return  # File opens beside the bar
xs_popup glyphscope || fail "Alt, Return opened no menu"
/usr/bin/import -window root "$WORK/menu.png"
xdotool key Escape Escape
xs_no_popup glyphscope || fail "Escape left a menu open"
# Alt+Space once F10 has the bar's first caption highlighted: given sooner, it may reach the
# program before its menu loop runs, and outside the loop Alt+Space is the window manager's.
xs_shot "$WORK/before-f10.png" || fail "no settled screen before F10"
xdotool key F10
xs_shot "$WORK/f10.png" "$WORK/before-f10.png" || fail "F10 highlighted nothing on the bar"
xdotool key alt+space
xs_popup glyphscope || fail "F10, Alt+Space opened no window menu"
/usr/bin/import -window root "$WORK/windowmenu.png"
xdotool key c  # the window menu's Close
if xs_exit $pid; then
  [ "$XS_RC" = 0 ] || fail "closed from the window menu with status $XS_RC"
else
  fail "the window menu's Close left the program running"; kill -9 $pid
fi
start
XS_SEEN="left_ink" xs_wait "the menu bar on the left at the next start" inked || fail "the next start lost the left dock"
/usr/bin/import -window root "$WORK/again.png"
wmctrl -c "Veltrazone Glyphscope"
xs_exit $pid || { fail "the second run did not close"; kill -9 $pid; }
exit $failures
