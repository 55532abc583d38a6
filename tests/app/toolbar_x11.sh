#!/usr/bin/env bash
# The real program's main toolbar under an X server and a window manager: dragged by its
# handle to the middle of the screen it floats in a window of its own ("Standard Toolbar"),
# dragged by that window's caption onto the top dock it docks again (the window goes), and a
# window manager's close request on the floating toolbar closes the program (status 0).
# Before that, Esc on its view-style drop-down opened with the mouse leaves no framed button
# and the next Ctrl+D opens the folder dialog. The toolbar moves with the mouse while dragged:
# each move out in the open is followed by a wait for the floating window under the mouse.
# The screenshot of each step is kept in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop import /usr/bin/convert
xp_work
xp_home
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
FLOAT='^Standard Toolbar$'

"$GS" >"$WORK/out" 2>&1 &
pid=$!
main=$(xp_main_window) || { echo "FAIL: no main window: $(cat "$WORK/out")"; xp_stop $pid; exit 1; }
read -r cx cy < <(xp_origin "$main")
# The view-style drop-down opened with the mouse and closed with Esc leaves the toolbar as it
# was (no framed button), and the next Ctrl+D reaches the window: the folder dialog opens.
row() { /usr/bin/convert "$1" -crop "420x28+$cx+$((cy + 22))" +repage "$2"; }
xdotool mousemove 5 760
xs_shot "$WORK/docked.png" && row "$WORK/docked.png" "$WORK/row.png"
xdotool mousemove $((cx + 336)) $((cy + 34)) click 1
xp_popup_shows || fail "the view-style arrow opened no menu"
import -window root "$WORK/dropdown.png"
xdotool key Escape
xs_no_popup glyphscope || fail "Escape left the drop-down open"
xdotool mousemove 5 760
xs_shot "$WORK/escaped.png" && row "$WORK/escaped.png" "$WORK/row-escaped.png"
xs_same "$WORK/row.png" "$WORK/row-escaped.png" || fail "Esc on the drop-down left the toolbar changed (row-escaped.png)"
xdotool key ctrl+d
if xs_window '^Please select the folder' >/dev/null; then
  import -window root "$WORK/ctrl-d.png"
  xdotool key Escape
  xs_gone '^Please select the folder' || fail "Escape left the folder dialog open"
else
  fail "Ctrl+D after Esc on the drop-down opened no folder dialog"
fi
# The handle of the second bar of the top dock (the menu bar has the first row).
handle=$((cx + 3)),$((cy + 37)) below=$((cx + 12)),$((cy + 80))
xp_drag "$FLOAT" $handle $below 300,300+ 400,400+
xs_count "$FLOAT" 1 || fail "the toolbar dragged by its handle does not float"
import -window root "$WORK/floating.png"
float=$(xdotool search --onlyvisible --name "$FLOAT" | head -1)
if [ -n "$float" ]; then
  read -r fx fy < <(xp_origin "$float")
  xp_drag "$FLOAT" $((fx + 50)),$((fy + 8)) 300,200+ $((cx + 100)),$((cy + 40)) $((cx + 50)),$((cy + 26))  # back at the left end
  xs_count "$FLOAT" 0 || fail "the toolbar dragged by its caption onto the top dock still floats"
  import -window root "$WORK/back.png"
fi
xp_drag "$FLOAT" $handle $below 300,300+ 400,400+
if xs_count "$FLOAT" 1; then
  # A close request reaches the window once the window manager manages it.
  _managed() { wmctrl -l | grep -q " Standard Toolbar\$"; }
  XS_SEEN="wmctrl -l" xs_wait "the window manager to manage the floating toolbar" _managed || fail "the floating toolbar is not managed"
  wmctrl -c "Standard Toolbar"
  if ! xs_exit $pid; then
    import -window root "$WORK/closing.png"; fail "closing the floating toolbar left the program running"; kill -9 $pid
  elif [ "$XS_RC" != 0 ]; then
    fail "closed with status $XS_RC"
  fi
else
  fail "the toolbar does not float a second time"; kill -9 $pid
fi
[ $failures = 0 ] && echo "main toolbar: its drop-down lets go on Esc, it floats, docks again, closing it closes the program"
exit $failures
