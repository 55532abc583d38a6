#!/usr/bin/env bash
# The real program's two bars left floating under an X server and a window manager: the next
# start shows each in its own window again, where it stood and as large as it was; another
# program taking the keyboard hides them and coming back shows them, View > Toolbar still
# checked; dragged by their captions onto the top dock they dock again, and the start after
# that finds them docked. Screenshots of each step stay in the work folder (floated.png,
# restored.png, inactive.png, active.png, view-menu.png, docked.png).
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop xmessage /usr/bin/import /usr/bin/convert
xp_work
xp_home
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
TOOLBAR='^Standard Toolbar$' MENU='^Standard Menu$'

start() {
  "$GS" >"$WORK/out" 2>&1 & pid=$!
  main=$(xp_main_window) || { echo "FAIL: no main window: $(cat "$WORK/out")"; exit 1; }
  read -r cx cy < <(xp_origin "$main")
}
stop() {  # the window manager's close request: the program saves its bars and ends with 0
  wmctrl -c "Veltrazone Glyphscope"
  if ! xs_exit $pid; then fail "closing the main window left the program running"; kill -9 $pid; exit 1; fi
  [ "$XS_RC" = 0 ] || fail "closed with status $XS_RC"
}
start
# The menu bar has the top dock's first row, the toolbar the second; each handle's first
# move leaves the dock, the next ones carry the floating window.
xp_drag "$TOOLBAR" $((cx + 3)),$((cy + 37)) $((cx + 12)),$((cy + 80)) 300,300+ 400,420+
xp_drag "$MENU" $((cx + 3)),$((cy + 10)) $((cx + 12)),$((cy + 60)) 300,250+ 330,240+
xs_count "$TOOLBAR" 1 && xs_count "$MENU" 1 || fail "the bars dragged by their handles do not float"
toolbar=$(xp_geometry "$TOOLBAR") menu=$(xp_geometry "$MENU")
/usr/bin/import -window root "$WORK/floated.png"
stop

start
xs_count "$TOOLBAR" 1 && xs_count "$MENU" 1
[ "$(xp_geometry "$TOOLBAR")" = "$toolbar" ] || fail "the toolbar comes back at '$(xp_geometry "$TOOLBAR")', not $toolbar"
[ "$(xp_geometry "$MENU")" = "$menu" ] || fail "the menu bar comes back at '$(xp_geometry "$MENU")', not $menu"
/usr/bin/import -window root "$WORK/restored.png"

# Another program takes the keyboard: the floating bars hide until the program is back.
xmessage -name other "another program" & other=$!
other_id=$(xs_window '^other$') && xdotool windowactivate "$other_id" 2>/dev/null
xs_active '^other$' || fail "the other program did not take the keyboard"
xs_count "$TOOLBAR" 0 && xs_count "$MENU" 0 || fail "the floating bars stay while another program is active"
/usr/bin/import -window root "$WORK/inactive.png"
xdotool windowactivate "$main" 2>/dev/null
xs_active "$XP_MAIN" || fail "the program did not get the keyboard back"
xs_count "$TOOLBAR" 1 && xs_count "$MENU" 1 || fail "the floating bars do not come back with the program"
/usr/bin/import -window root "$WORK/active.png"
kill $other 2>/dev/null; wait $other 2>/dev/null

# View on the floating menu bar: its last three items (Preview Panel, Toolbar, Status Bar)
# are all checked, three marks in the check column.
read -r mx my _ < <(xp_geometry "$MENU")
xdotool mousemove $((mx + 94)) $((my + 33)) click 1
marks() {  # the check marks among the popup's last three rows: runs of inked lines
  local x y w h; read -r x y w h < <(xp_box "$(xp_menu)")
  /usr/bin/convert "$WORK/view-menu.png" -crop "20x60+$((x + 2))+$((y + h - 62))" +repage -colorspace Gray \
    -threshold 50% -negate -scale '1x60!' -threshold 0 txt:- |
    awk -F'[(),]' 'NR > 1 {ink = $4 > 0} ink && !was {runs++} {was = ink} END {print runs + 0}'
}
if xp_popup_shows; then
  xs_shot "$WORK/view-menu.png" || fail "no settled screen with the View menu"
  [ "$(marks)" = 3 ] || fail "View > Toolbar is not checked after the program came back ($(marks) marks)"
else
  fail "View on the floating menu bar opened no menu"
fi
xdotool key Escape Escape
XS_SEEN=xs_names xs_wait "the View menu to close" eval '! xp_menu' || fail "Escape left the View menu open"

# Back onto the top dock by their captions: the menu bar first, at the form's top edge, then
# the toolbar below it.
read -r mx my _ < <(xp_geometry "$MENU")
xp_drag "$MENU" --dock $((mx + 40)),$((my + 8)) 300,200+ $((cx + 60)),$((cy + 2))
read -r tx ty _ < <(xp_geometry "$TOOLBAR")
xp_drag "$TOOLBAR" --dock $((tx + 40)),$((ty + 8)) 300,200+ $((cx + 60)),$((cy + 30))
xs_count "$MENU" 0 && xs_count "$TOOLBAR" 0 || fail "the bars dragged onto the top dock still float"
# The next start shows the top dock as it was left: the same picture of the form's top.
top() { /usr/bin/convert "$1" -crop "600x70+$cx+$cy" +repage "$2"; }
xdotool mousemove 5 760
xs_shot "$WORK/docked.png" && top "$WORK/docked.png" "$WORK/top.png"
stop
start
xs_count "$MENU" 0 && xs_count "$TOOLBAR" 0 || fail "the bars docked again float at the next start"
xs_shot "$WORK/docked-again.png" && top "$WORK/docked-again.png" "$WORK/top-again.png"
xs_same "$WORK/top.png" "$WORK/top-again.png" || fail "the next start changed the top dock (top.png, top-again.png)"
stop
[ $failures = 0 ] && echo "floating bars: restored where they stood, hidden while another program is active, docked again"
exit $failures
