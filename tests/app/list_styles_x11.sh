#!/usr/bin/env bash
# The real program's icon list under an X server and a window manager, opened on a folder of
# twelve icons. In Large Icons, a click on the list's empty part, then Right, End, Home and a
# round of arrow keys move the selection; then the list goes to List and back to Large Icons
# (through the View menu) and the same keys again. Both rounds must look the same, pixel for
# pixel from End on (Large Icons after List is laid out as Large Icons, not in List's columns),
# and each must look as the window repaints itself whole after a minimize and restore (a
# moving selection leaves no stale highlight behind). Then F4 shows File Properties of the
# selected icon's file. Every screenshot stays in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing /usr/bin/import /usr/bin/compare /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/icons"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

colours=(red green blue yellow magenta cyan orange purple brown navy olive teal)
for i in "${!colours[@]}"; do
  /usr/bin/convert -size 32x32 "xc:${colours[$i]}" -fill white -draw "circle 16,16 16,6" "icons/icon$i.ico" ||
    { echo "FAIL: could not make icons/icon$i.ico"; exit 1; }
done

xs_start --wm
"$GS" "/X:$WORK/icons" >out.txt 2>&1 &
pid=$!
win=$(xs_window '^Veltrazone Glyphscope') || { cat out.txt; exit 1; }
xdotool mousemove 1020 760  # off the window: no hover highlight in the pictures
xdotool windowactivate --sync "$win"
xs_active '^Veltrazone Glyphscope' || exit 1

same() { xs_same "$@"; }
shot() { xs_shot "$@" || fail "no settled screenshot $1"; }
# The window repainted whole: minimized (the screen changes), then restored.
repainted() {
  xdotool windowminimize --sync "$win"
  shot "$1.gone.png" "$2"
  xdotool windowactivate --sync "$win"
  shot "$1" "$1.gone.png"
}
# round NAME: Right, End and Home, then each arrow key with a screenshot after it, then the
# window repainted. Right and End first, so each key changes the screen whatever was current
# before: the list may have no current entry yet, or its first (when it took the focus as the
# window was activated), and from no current entry any key goes to the first.
keys=(Right Right Down Left Up Right Right)  # each moves the selection: 1 2 8 7 1 2 3
round() {
  local before=$1.start.png k=0
  shot "$before"
  xdotool key Right
  shot "$1-right.png" "$before"; before=$1-right.png
  xdotool key End
  shot "$1-end.png" "$before"; before=$1-end.png
  xdotool key Home
  shot "$1-home.png" "$before"; before=$1-home.png
  for key in "${keys[@]}"; do
    k=$((k + 1))
    xdotool key "$key"
    shot "$1-$k.png" "$before"
    before=$1-$k.png
  done
  repainted "$1-repainted.png" "$before"
  same "$before" "$1-repainted.png" || fail "$1: the screen after the keys ($before) is not what the window paints whole"
}

shot listed.png
# A click on the list's empty part gives it the keys (and selects nothing).
xdotool mousemove --window "$win" 400 400 click 1 mousemove 1020 760
shot focused.png
round large
xdotool key alt+v
shot menu.png large-repainted.png
xdotool key i
shot list.png menu.png
xdotool key alt+v
shot menu-again.png list.png
xdotool key l
shot large-again.png menu-again.png
round again
for k in end home $(seq ${#keys[@]}); do
  same "large-$k.png" "again-$k.png" || fail "Large Icons after List differs from Large Icons before it after key $k (large-$k.png, again-$k.png)"
done

xdotool key F4
props=$(xs_window '^File Properties') || fail "F4 showed no File Properties"
if [ -n "$props" ]; then
  shot properties.png again-repainted.png
  xdotool key Escape
  xs_gone '^File Properties' || fail "Esc left File Properties open"
fi

kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
[ $failures -eq 0 ] && echo "list styles: Large Icons the same before and after List, the highlight clean under the arrow keys"
exit $failures
