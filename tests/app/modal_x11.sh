#!/usr/bin/env bash
# The real program under an X server and a window manager, a folder of sample icons listed:
# while a modal window is up (a box, then File Properties), Del, Ctrl+A, Alt+4 and Ctrl+D
# leave the list as it was and open nothing; Ctrl+D in the folder dialog does not stack a
# second one. The list is judged as a user sees it: its pixels (icons, selection, view
# style and the status bar's count) before and after. Del on the window itself then does
# change them, so the comparison can tell. Screenshots of each step stay in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
SAMPLES=${GS_SAMPLES:?the folder of sample icons}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing xwininfo xprop /usr/bin/import /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/icons" "$WORK/home"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
cp "$SAMPLES"/*.ico "$SAMPLES"/*.icl "$WORK/icons/" 2>/dev/null
[ -n "$(ls "$WORK/icons")" ] || { echo "FAIL: no sample icons in $SAMPLES"; exit 1; }
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

xs_start --wm
"$GS" "/X:$WORK/icons" >"$WORK/out" 2>&1 &
pid=$!
XS_PIDS+=($pid)
main=$(xs_window "^Veltrazone Glyphscope") || { cat "$WORK/out"; exit 1; }
xs_active "^Veltrazone Glyphscope" || exit 1
read -r mx my mw mh < <(xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
  /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')

# The list and the status bar below it, as on the screen: a checksum of their pixels.
look() {
  /usr/bin/import -window root "$WORK/screen.png" 2>/dev/null &&
    /usr/bin/convert "$WORK/screen.png" -crop "$((mw - 160))x$((mh - 70))+$mx+$((my + 70))" +repage rgb:- | md5sum | cut -c1-32
}
# Waits until the list looks the same twice running, is not blank and, given a look, differs
# from that one; prints the look.
settled() {
  local last="" now blank old=${1:-}
  blank=$(/usr/bin/convert -size "$((mw - 160))x$((mh - 70))" xc:white rgb:- | md5sum | cut -c1-32)
  _xs_same() {
    now=$(look)
    [ -n "$now" ] && [ "$now" = "$last" ] && [ "$now" != "$blank" ] && [ "$now" != "$old" ] || { last=$now; false; }
  }
  XS_SEEN="echo last look $last" xs_wait "the list to settle" _xs_same || return 1
  echo "$now"
}
active() { xdotool getactivewindow 2>/dev/null; }
# Waits until a window other than the main one is active and prints its name.
modal_up() {
  _xs_other() { local a; a=$(active); [ -n "$a" ] && [ "$a" != "$main" ]; }
  XS_SEEN="xdotool getactivewindow getwindowname" xs_wait "a window over the main one to be active" _xs_other || return 1
  xdotool getwindowname "$(active)"
}
main_back() {
  _xs_main() { [ "$(active)" = "$main" ]; }
  XS_SEEN="xdotool getactivewindow getwindowname" xs_wait "the main window to be active again" _xs_main
}
keys_under() {  # keys_under WHAT: the keys a user tried under the modal window, then Esc closes it
  xdotool key --delay 100 Delete ctrl+a alt+4 ctrl+d
  /usr/bin/import -window root "$WORK/under-$1.png"
  xdotool key Escape
  main_back || fail "$1 did not close on Esc (something opened over it?): $(xs_names)"
  xs_count "^Please select the folder" 0 || fail "Ctrl+D under $1 opened the folder dialog"
}

# Once listed, the first icon is selected by a click, the pointer then out of the way.
listed=$(settled) || { fail "the listing never settled"; exit 1; }
xdotool mousemove $((mx + 47)) $((my + 76)) click 1 mousemove 1020 760
settled "$listed" >/dev/null || { fail "a click on the first icon did not select it"; exit 1; }
# The look to hold to is the list's after a modal window closed with no key given: the
# window's activation coming back repaints the selection as every later look has it.
tip() {  # Tip Of The Day: a box when there is no tip file
  xdotool key alt+h
  xs_popup glyphscope || { fail "Alt+H opened no menu"; exit 1; }
  xdotool key t
  modal_up || { fail "Tip Of The Day opened no window"; exit 1; }
}
tip >/dev/null
xdotool key Escape
main_back || exit 1
before=$(settled) || exit 1
cp "$WORK/screen.png" "$WORK/listed.png"

echo "modal window: $(tip)"
# Its frame asks for no minimise or maximise box (Motif decoration bits 0x20 and 0x40), and
# the window manager offers no maximising. (Openbox draws an iconify box on every dialog
# whatever it is asked, and the maximise box greyed.)
hints=$(xprop -id "$(active)" _MOTIF_WM_HINTS 2>/dev/null | sed -n 's/.*= *//p')
decorations=$(echo "$hints" | cut -d, -f3 | tr -d ' ')
if [ -z "$decorations" ]; then fail "the box has no Motif hints: $hints"
elif (( decorations & 0x60 )); then fail "the box asks for minimise or maximise boxes: $hints"; fi
xprop -id "$(active)" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "the box may be maximised"
keys_under box
after=$(settled)
[ "$after" = "$before" ] || { cp "$WORK/screen.png" "$WORK/after-box.png"; fail "the list changed under the box"; }

xdotool key F4  # File Properties of the selected icon's file
xs_window "^File Properties" >/dev/null || { fail "F4 opened no File Properties"; exit 1; }
modal_up >/dev/null || exit 1
keys_under properties
after=$(settled)
[ "$after" = "$before" ] || { cp "$WORK/screen.png" "$WORK/after-properties.png"; fail "the list changed under File Properties"; }

# The folder dialog is modal too: Ctrl+D in it does not open a second one.
xdotool key ctrl+d
xs_window "^Please select the folder" >/dev/null || fail "Ctrl+D on the main window opened no folder dialog"
xs_count "^Please select the folder" 1
xdotool key ctrl+d
/usr/bin/import -window root "$WORK/folder-dialog.png"
xdotool key Escape
xs_gone "^Please select the folder" || fail "a second folder dialog stacked on the first"
main_back

# The same keys on the window itself do act: the comparison can see a change.
xdotool key Delete
changed=$(settled "$before")
cp "$WORK/screen.png" "$WORK/removed.png"
[ "$changed" != "$before" ] || fail "Del on the main window changed nothing: the look proves nothing"

kill "$pid" 2>/dev/null
[ $failures -eq 0 ] && echo "modal windows: no command of the main window ran beneath them"
exit $failures
