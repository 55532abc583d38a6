#!/usr/bin/env bash
# The real program's small looks under an X server and a window manager, with screenshots
# kept in the work folder to be looked at: opened on a folder whose path is longer than the
# status bar (the path shows elided in its middle), an entry renamed in Large Icons to a
# longer caption sits where a fresh layout of the list puts it (the screen after the rename
# is the screen after List and back to Large Icons), and Preferences' font list drops down
# with plain family names.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing /usr/bin/import /usr/bin/compare /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$(dirname "$0")/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
shot() { xs_shot "$@" || fail "no settled screenshot $1"; }

deep="$WORK/icons"
for i in 0 1 2 3 4 5 6 7; do deep="$deep/a-rather-long-folder-name-$i"; done
deep="$deep/last-folder"
mkdir -p "$deep"
colours=(red green blue orange purple teal)
for i in "${!colours[@]}"; do
  /usr/bin/convert -size 32x32 "xc:${colours[$i]}" -fill white -draw "circle 16,16 16,6" "$deep/icon$i.ico" ||
    { echo "FAIL: could not make icon$i.ico"; exit 1; }
done

xs_start --wm
"$GS" "/X:$deep" >out.txt 2>&1 &
pid=$!
XS_PIDS+=($pid)
win=$(xs_window '^Veltrazone Glyphscope') || { cat out.txt; exit 1; }
xdotool mousemove 1020 760  # off the window: no hover highlight in the pictures
xdotool windowactivate --sync "$win"
xs_active '^Veltrazone Glyphscope' || exit 1
shot listed.png
eval "$(xdotool getwindowgeometry --shell "$win")"
/usr/bin/convert listed.png -crop "${WIDTH}x40+${X}+$((Y + HEIGHT - 40))" +repage status.png

# The first entry renamed through F2 to a longer caption that keeps its place in the order.
xdotool mousemove --window "$win" 400 400 click 1 mousemove 1020 760
xdotool key Home
shot selected.png listed.png
xdotool key F2
shot editing.png selected.png
xdotool type --delay 30 "icon0 with a long caption"
xdotool key Return
shot renamed.png editing.png
xdotool key alt+v
shot menu.png renamed.png
xdotool key i
shot list.png menu.png
xdotool key alt+v
shot menu-again.png list.png
xdotool key l
shot relaid.png menu-again.png
xs_same renamed.png relaid.png ||
  fail "the renamed entry moved when the list was laid out again (renamed.png, relaid.png): it was not where a layout puts it"

# Preferences, Icons List page, the font list dropped down.
xdotool key alt+f Down p
if xs_window "^Preferences" >/dev/null && xs_active "^Preferences"; then
  xdotool key alt+i
  shot prefs.png relaid.png
  xdotool key alt+n alt+Down
  xs_popup glyphscope || fail "Alt+Down opened no font list"
  shot fonts.png prefs.png
  xdotool key Escape
  shot prefs-closed.png fonts.png
  xdotool key Escape
  xs_gone "^Preferences" || fail "Esc does not close Preferences"
else
  fail "Alt+F, Down, P did not open Preferences"
fi

xs_active "^Veltrazone Glyphscope" && xdotool key alt+f Down x
xs_exit $pid || { fail "the program did not end"; kill -9 $pid; }
[ $failures -eq 0 ] && echo "looks: status path elided, renamed entry in place, plain family names (screenshots in $WORK)"
exit $failures
