#!/usr/bin/env bash
# The real program under X and a window manager, on a folder of four icons (alpha_1, beta_2,
# delta_3, gamma_4 in the list). Home, Shift+Right select the first two; Find (Ctrl+S) for a
# text no icon holds shows "not found", and once the box is closed the screen is what it was
# before (both entries selected, the preview unchanged); Find for "gamma" adds gamma_4 to the
# two. What is selected is read from Send To (F9): a mail composer on PATH notes the icons
# it is handed. Then Shift+F10, like the Menu key, opens the list's context menu. Every
# screenshot stays in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
. "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
. "$(dirname "$0")/x11_program.sh"
. "$(dirname "$0")/store.sh"
xs_missing sqlite3 xwininfo xprop /usr/bin/import /usr/bin/convert /usr/bin/compare
xp_work bin icons
xp_home

colours=(red green blue yellow)
names=(alpha beta gamma delta)
for i in "${!names[@]}"; do
  /usr/bin/convert -size 32x32 "xc:${colours[$i]}" "icons/${names[$i]}.ico" ||
    { echo "FAIL: could not make icons/${names[$i]}.ico"; exit 1; }
done
# The composer notes the names of the icons it is to attach, one line each, in mail.N.
cat >bin/xdg-email <<MAILER
#!/bin/sh
n=\$((\$(ls "$WORK" | grep -c '^mail\.[0-9]') + 1))
while [ \$# -gt 0 ]; do
  [ "\$1" = --attach ] && basename "\$2" >>"$WORK/mail.tmp"
  shift
done
mv "$WORK/mail.tmp" "$WORK/mail.\$n"
MAILER
chmod +x bin/xdg-email
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"

xs_start --wm
PATH="$WORK/bin:$PATH" "$GS" "/X:$WORK/icons" >out.txt 2>&1 &
pid=$!
main=$(xp_main_window) || { echo "FAIL: no main window: $(cat out.txt)"; xp_stop $pid; exit 1; }
xdotool mousemove 1020 760  # off the window: no hover highlight in the pictures

# The listing is there once all four pictures show.
listed() {
  /usr/bin/import -window root "$WORK/listing.png" || return 1
  [ "$(/usr/bin/convert "$WORK/listing.png" -unique-colors txt:- | grep -ciE '#(FF0000|008000|0000FF|FFFF00)(FF)? ')" = 4 ]
}
XS_SEEN="cat out.txt" xs_wait "the four icons listed" listed || { fail "the folder was not listed"; xp_stop $pid; exit 1; }

# sent EXPECTED: Send To hands the composer exactly these icons (sorted names, one line).
sent() {
  local want=$1 got mail
  mail=mail.$(($(ls | grep -c '^mail\.[0-9]') + 1))
  xdotool key F9
  xs_wait "the composer's $mail" test -s "$mail" || { fail "Send To started no composer: nothing selected"; return; }
  got=$(sort "$mail" | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$want" ] || fail "selected: '$got', expected '$want'"
}
# find TEXT: Ctrl+S until the Find dialog shows (the mail's job may still hold the window),
# then the text and Enter.
find() {
  _find_open() {
    xdotool search --onlyvisible --name '^Find\.\.\.$' >/dev/null 2>&1 && return 0
    xdotool windowactivate --sync "$main" key ctrl+s 2>/dev/null
    XS_BOUND=2 xs_window '^Find\.\.\.$' >/dev/null 2>&1
  }
  xs_wait "the Find dialog" _find_open || { fail "Ctrl+S opened no Find dialog"; return 1; }
  xs_active '^Find\.\.\.$' || return 1
  xdotool key ctrl+a type "$1"
  xdotool key Return
  xs_gone '^Find\.\.\.$' || fail "Enter left the Find dialog open"
}

shot() { xs_shot "$@" || fail "no settled screenshot $1"; }
shot listed.png
xdotool mousemove --window "$main" 300 400 click 1 mousemove 1020 760  # the list's empty part: the keys go there
shot focused.png
xdotool key Home
shot first.png focused.png
xdotool key shift+Right
shot two.png first.png

# A miss: the box says so; closed, the window is as it was.
find nothing
xs_count "$XP_MAIN" 2 || fail "no box after a search that finds nothing"
shot notfound.png two.png
xdotool key Return
xs_count "$XP_MAIN" 1 || fail "Enter left the box open"
shot missed.png notfound.png
xs_same two.png missed.png || fail "the window after a search that found nothing (missed.png) is not as before it (two.png)"
sent "alpha_1.ico beta_2.ico"

# A hit joins the two.
find gamma
shot found.png missed.png
sent "alpha_1.ico beta_2.ico gamma_4.ico"

# Shift+F10 and the Menu key each open the list's context menu.
for key in shift+F10 Menu; do
  xdotool windowactivate --sync "$main" 2>/dev/null
  xs_active "$XP_MAIN" || break
  before=before-$key.png
  shot "$before"
  xdotool key "$key"
  if xp_popup_shows; then
    shot "menu-$key.png" "$before"
    xdotool key Escape
    xs_no_popup glyphscope || fail "Escape left the menu of $key open"
  else
    fail "$key opened no context menu in the list"
  fi
done

xp_stop $pid
[ $failures -eq 0 ] && echo "find: a miss keeps the selection and the preview, a hit joins it; Shift+F10 opens the list's menu"
exit $failures
