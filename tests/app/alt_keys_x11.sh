#!/usr/bin/env bash
# The real program's Alt keys under an X server and a window manager. Alt+2 and Alt+1 (the
# view styles' shortcuts) switch the list to Small Icons and back to Large Icons and leave
# the menu bar alone: no menu opens, the bar shows no selection, and the window looks as it
# did before. Alt with a mouse click, and the window manager's Alt+Tab, leave the bar alone
# too. Alt tapped alone still enters the bar: Return opens File, Return runs its first
# command (its folder dialog shows). Alt+F4 ends the program with 0. Screenshots of each step
# stay in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing sqlite3 xwininfo xprop /usr/bin/import /usr/bin/compare /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/icons"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$(dirname "$0")/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for c in red green blue orange; do
  /usr/bin/convert -size 32x32 "xc:$c" -fill white -draw "circle 16,16 16,6" "icons/$c.ico" ||
    { echo "FAIL: could not make icons/$c.ico"; exit 1; }
done

xs_start --wm
windows() { xdotool search --onlyvisible --classname glyphscope 2>/dev/null | wc -l; }  # the program's shown windows
"$GS" "/X:$WORK/icons" >out.txt 2>&1 &
pid=$!
win=$(xs_window '^Veltrazone Glyphscope') || { cat out.txt; exit 1; }
xs_no_splash glyphscope || exit 1
xdotool mousemove 1020 760  # off the window: no hover highlight in the pictures
xdotool windowactivate --sync "$win"
xs_active '^Veltrazone Glyphscope' || exit 1
read -r cx cy cw < <(xwininfo -id "$win" |
  awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} END{print x, y, w}')

# The menu bar: the first row of the top dock, across the window.
bar() { /usr/bin/convert "$1" -crop "${cw}x22+${cx}+${cy}" +repage "$2"; }
same() { xs_same "$@"; }
shot() { xs_shot "$@" || fail "no settled screenshot $1"; }
# bar_alone NAME: the menu bar looks as it did at the start, and no menu is open.
bar_alone() {
  bar "$1" "$1.bar.png"
  same start.bar.png "$1.bar.png" || fail "$2 left the menu bar changed ($1.bar.png, start.bar.png)"
  [ "$(windows)" = 1 ] || fail "$2 left $(windows) windows of the program shown: $(xs_names)"
}

shot start.png
bar start.png start.bar.png
xdotool key alt+2
shot small.png start.png
bar_alone small.png "Alt+2"
xdotool key alt+1
shot large.png small.png
bar_alone large.png "Alt+1"
same start.png large.png || fail "Alt+2 then Alt+1 does not look as the start (large.png, start.png)"
# A key after them is the list's, not the menu bar's.
xdotool key alt+2
shot small-again.png large.png
same small.png small-again.png || fail "the second Alt+2 did not show Small Icons as the first did (small-again.png)"
bar_alone small-again.png "the second Alt+2"
xdotool key alt+1
shot large-again.png small-again.png
same start.png large-again.png || fail "the second Alt+1 does not look as the start (large-again.png)"

# Alt with a click on the list's empty part, then the window manager's Alt+Tab. The program
# is stopped while the click is given, so it reads the whole gesture at once, as it does when
# a loaded machine leaves it behind the server.
kill -STOP "$pid"
xdotool keydown alt mousemove --window "$win" 400 400 click 1 mousemove 1020 760 keyup alt
kill -CONT "$pid"
shot click.png
bar_alone click.png "Alt+click"
xdotool key alt+Tab
xs_active '^Veltrazone Glyphscope' || fail "Alt+Tab left another window active"
shot tab.png
bar_alone tab.png "Alt+Tab"

# Alt tapped alone enters the bar; Return opens File, Return runs its first command.
xdotool key alt
shot tapped.png tab.png
bar tapped.png tapped.bar.png
same start.bar.png tapped.bar.png && fail "Alt tapped alone did not select on the menu bar"
xdotool key Return
file_open() { [ "$(windows)" = 2 ]; }
XS_SEEN=xs_names xs_wait "File's menu to open" file_open || fail "Return on the entered bar opened no menu"
xdotool key Return
if dialog=$(xs_window '^Please select the folder'); then
  shot dialog.png tapped.png
  xdotool key Escape
  xs_gone '^Please select the folder' || fail "Esc left the folder dialog open"
else
  fail "Alt, Return, Return did not show File's first command's dialog"
fi

xs_active '^Veltrazone Glyphscope' || fail "the main window did not come back after the dialog"
xdotool key alt+F4
xs_exit "$pid" || { fail "Alt+F4 did not end the program"; kill "$pid"; }
[ "${XS_RC:-1}" = 0 ] || fail "exit status ${XS_RC:-?} after Alt+F4"
[ $failures -eq 0 ] && echo "alt keys: Alt+digits switch the list style and leave the menu bar; Alt alone enters it"
exit $failures
