#!/usr/bin/env bash
# The real program under an X server and a window manager: with a menu open, one click (press
# and release together, as xdotool gives them) on something outside the menus closes the menus
# and is that thing's click. The main toolbar's folder button, docked and floating, opens the
# folder dialog (menu bar's File menu open) and the toolbar is drawn as before (nothing left
# pushed or hot); the preview pane's close button closes the pane, with File open and with the
# floating toolbar's own drop-down open. After each click no client holds the mouse or the
# keyboard grabbed, and at the end Ctrl+D reaches the window. Screenshots stay in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
GRABS=${XGRABPROBE:?the grab probe}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop /usr/bin/import /usr/bin/convert
xp_work
xp_home
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
FLOAT='^Standard Toolbar$' FOLDER='^Please select the folder'

"$GS" >"$WORK/out" 2>&1 &
pid=$!
main=$(xp_main_window) || { echo "FAIL: no main window: $(cat "$WORK/out")"; xp_stop $pid; exit 1; }
read -r cx cy cw _ < <(xp_box "$main")
crop() { /usr/bin/convert "$1" -crop "$2" +repage "$3"; }
settled() {  # settled NAME: the screen with the mouse away from the window, as $WORK/NAME.png
  xdotool mousemove 5 760
  xs_shot "$WORK/$1.png"
}
no_grabs() {  # no_grabs WHEN
  local state; state=$("$GRABS")
  [ "$state" = "pointer free keyboard free" ] || fail "$1: the grabs are not given back ($state)"
}
dialog_shows() {  # dialog_shows SHOT: the folder dialog shows (SHOT.png); Escape closes it
  xs_window "$FOLDER" >/dev/null || return 1
  import -window root "$WORK/$1.png"
  xdotool key Escape
  xs_gone "$FOLDER" || fail "$1: Escape left the folder dialog open"
}
file_menu() {  # opens File on the menu bar (the dock's first row)
  xdotool mousemove $((cx + 23)) $((cy + 11)) click 1
  xp_popup_shows
}
# click_opens_folder WHEN X Y BAR: with a menu open, the folder button at X Y runs its command;
# afterwards the bar (a crop geometry) looks as before the menu opened.
click_opens_folder() {
  local when=$1 x=$2 y=$3 bar=$4
  settled "$when-before" && crop "$WORK/$when-before.png" "$bar" "$WORK/$when-bar-before.png"
  file_menu || { fail "$when: File opened no menu"; return; }
  xdotool mousemove "$x" "$y" click 1
  dialog_shows "$when-dialog" || fail "$when: the folder button clicked with File open opened no folder dialog"
  XS_SEEN=xs_names xs_wait "$when: the menu to close" eval '! xp_menu' || fail "$when: the menu stays open"
  no_grabs "$when"
  settled "$when-after" && crop "$WORK/$when-after.png" "$bar" "$WORK/$when-bar-after.png"
  xs_same "$WORK/$when-bar-before.png" "$WORK/$when-bar-after.png" ||
    fail "$when: the bar is not drawn as before ($when-bar-before.png, $when-bar-after.png)"
}
# closes_preview WHEN X Y OPEN...: with the menu that the command OPEN... opens, the preview's
# close button at X Y closes the pane (the list, one colour, takes its place).
closes_preview() {
  local when=$1 x=$2 y=$3; shift 3
  local box="12x12+$((x - 6))+$((y - 6))"
  settled "$when-before" && crop "$WORK/$when-before.png" "$box" "$WORK/$when-close-before.png"
  "$@" || { fail "$when: no menu opened"; return; }
  xdotool mousemove "$x" "$y" click 1
  XS_SEEN=xs_names xs_wait "$when: the menu to close" eval '! xp_menu' || fail "$when: the menu stays open"
  _closed() { settled "$when-after" && crop "$WORK/$when-after.png" "$box" "$WORK/$when-close-after.png" &&
    [ "$(/usr/bin/convert "$WORK/$when-close-after.png" -unique-colors -format %w info:)" = 1 ]; }
  xs_wait "$when: the preview pane to close" _closed || fail "$when: the preview pane stays ($when-after.png)"
  no_grabs "$when"
}
# Alt+V, V: View > Preview Panel shows the pane again, its close button as it was.
preview_back() {
  xdotool key alt+v
  xp_popup_shows && xdotool key v
  _back() { settled "$1-back" && crop "$WORK/$1-back.png" "12x12+$(($2 - 6))+$(($3 - 6))" "$WORK/$1-close-back.png" &&
    xs_same "$WORK/$1-close-before.png" "$WORK/$1-close-back.png"; }
  xs_wait "View > Preview Panel to show the pane" _back "$@" || fail "the preview pane does not come back"
}

# The toolbar is the top dock's second row; the preview's close button ends the header row
# at the right of the client area.
click_opens_folder docked $((cx + 19)) $((cy + 37)) "420x28+$cx+$((cy + 22))"
closes_preview preview-file $((cx + cw - 15)) $((cy + 62)) file_menu
preview_back preview-file $((cx + cw - 15)) $((cy + 62))

xp_drag "$FLOAT" $((cx + 3)),$((cy + 37)) $((cx + 12)),$((cy + 80)) 300,300+ 400,400+
if xs_count "$FLOAT" 1; then
  read -r fx fy fw fh < <(xp_geometry "$FLOAT")
  # The caption above the items; the folder button first, the view-style arrow after the mail button.
  click_opens_folder floating $((fx + 19)) $((fy + 35)) "${fw}x${fh}+$fx+$fy"
  view_style() { xdotool mousemove $((fx + 336)) $((fy + 35)) click 1; xp_popup_shows; }
  closes_preview preview-floating $((cx + cw - 15)) $((cy + 36)) view_style
else
  fail "the toolbar dragged by its handle does not float"
fi

xdotool key ctrl+d
dialog_shows ctrl-d || fail "Ctrl+D after the clicks opened no folder dialog"
xp_stop $pid
[ $failures = 0 ] && echo "a click with a menu open: the toolbar's button runs its command, docked and floating, the preview closes, no grab is left"
exit $failures
