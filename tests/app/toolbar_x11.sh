#!/usr/bin/env bash
# The real program's main toolbar under an X server and a window manager: dragged by its
# handle to the middle of the screen it floats in a window of its own ("Standard Toolbar"),
# dragged by that window's caption onto the top dock it docks again (the window goes), and a
# window manager's close request on the floating toolbar closes the program (status 0).
# The toolbar moves with the mouse while dragged: each move out in the open is followed by a
# wait for the floating window under the mouse. The screenshot of each step is kept in the
# work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop import
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
FLOAT='^Standard Toolbar$'

_under() {  # whether the floating toolbar's window covers the point X Y
  local id x y w h
  id=$(xdotool search --onlyvisible --name "$FLOAT" 2>/dev/null | head -1); [ -n "$id" ] || return 1
  read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print x, y, w, h}')
  [ "$1" -ge "$x" ] && [ "$1" -lt $((x + w)) ] && [ "$2" -ge "$y" ] && [ "$2" -lt $((y + h)) ]
}
# drag X,Y POINT... : press at the first point, move through the others, release. A point
# written X,Y+ is out in the open: the floating toolbar must have come under it before the
# next step.
drag() {
  local p=$1; shift
  xdotool mousemove ${p%,*} ${p#*,} mousedown 1
  for p in "$@"; do
    local open=0
    [ "${p%+}" != "$p" ] && open=1 p=${p%+}
    xdotool mousemove ${p%,*} ${p#*,}
    if [ $open = 1 ]; then
      XS_SEEN="xwininfo -id \$(xdotool search --onlyvisible --name '$FLOAT' | head -1) | grep -E 'Absolute|Width|Height' | tr -s ' \n' ' '" \
        xs_wait "the floating toolbar under $p" _under ${p%,*} ${p#*,} || break
    fi
  done
  xdotool mouseup 1
}

"$GS" >"$WORK/out" 2>&1 &
pid=$!
main=$(xp_main_window) || { echo "FAIL: no main window: $(cat "$WORK/out")"; xp_stop $pid; exit 1; }
read -r cx cy < <(xp_origin "$main")
import -window root "$WORK/docked.png"
# The handle of the second bar of the top dock (the menu bar has the first row).
handle=$((cx + 3)),$((cy + 37)) below=$((cx + 12)),$((cy + 80))
drag $handle $below 300,300+ 400,400+
xs_count "$FLOAT" 1 || fail "the toolbar dragged by its handle does not float"
import -window root "$WORK/floating.png"
float=$(xdotool search --onlyvisible --name "$FLOAT" | head -1)
if [ -n "$float" ]; then
  read -r fx fy < <(xp_origin "$float")
  drag $((fx + 50)),$((fy + 8)) 300,200+ $((cx + 100)),$((cy + 40)) $((cx + 50)),$((cy + 26))  # back at the left end
  xs_count "$FLOAT" 0 || fail "the toolbar dragged by its caption onto the top dock still floats"
  import -window root "$WORK/back.png"
fi
drag $handle $below 300,300+ 400,400+
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
[ $failures = 0 ] && echo "main toolbar: floats, docks again, closing it closes the program"
exit $failures
