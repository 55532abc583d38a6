#!/usr/bin/env bash
# The real program's toolbar drop-down (the view styles) opened with the mouse under an X
# server and a window manager: Esc closes it and leaves the toolbar as it was before (no
# framed button), and the next Ctrl+D opens the folder dialog. Screenshots of each step stay
# in the work folder (before.png, open.png, closed.png, ctrl-d.png).
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop /usr/bin/import /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/home"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$GS" >"$WORK/out" 2>&1 & pid=$!
main=$(xp_main_window) || { echo "FAIL: no main window: $(cat "$WORK/out")"; xp_stop $pid; exit 1; }
read -r cx cy < <(xp_origin "$main")
toolbar() { /usr/bin/convert "$1" -crop "420x28+$cx+$((cy + 22))" +repage "$2"; }  # the toolbar's row
xdotool mousemove 5 760
xs_shot "$WORK/before.png" && toolbar "$WORK/before.png" "$WORK/bar-before.png"
# The view-style button's arrow, in the toolbar's second row of the top dock.
xdotool mousemove $((cx + 336)) $((cy + 34)) click 1
xp_popup_shows || fail "the view-style arrow opened no menu"
/usr/bin/import -window root "$WORK/open.png"
xdotool key Escape
xs_no_popup glyphscope || fail "Escape left the drop-down open"
xdotool mousemove 5 760
xs_shot "$WORK/closed.png" && toolbar "$WORK/closed.png" "$WORK/bar-closed.png"
xs_same "$WORK/bar-before.png" "$WORK/bar-closed.png" ||
  fail "the toolbar is not as before the drop-down (bar-before.png, bar-closed.png)"
xdotool key ctrl+d
if xs_window '^Please select the folder' >/dev/null; then
  /usr/bin/import -window root "$WORK/ctrl-d.png"
  xdotool key Escape
  xs_gone '^Please select the folder' || fail "Escape left the folder dialog open"
else
  fail "Ctrl+D after the drop-down opened no folder dialog"
fi
wmctrl -c "Veltrazone Glyphscope"
xs_exit $pid || { fail "the program did not close"; kill -9 $pid; }
[ $failures = 0 ] && echo "toolbar drop-down: Esc leaves no framed button and the next Ctrl+D works"
exit $failures
