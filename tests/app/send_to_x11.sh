#!/usr/bin/env bash
# The real program under X, with a mail composer on PATH that takes 10 s to return: Send To
# (Ctrl+A, F9) hands it the listed icon, and while the composer runs the window answers (its
# File menu opens). A window that waited for the composer itself would hold for its whole
# 5 s wait limit, so the menu must open well within that of the composer's start.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
. "$GS_SOURCE_DIR/tests/support/xsession.sh"
. "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing sqlite3 xwininfo xprop
xp_work bin icons

"$1" make-samples material >/dev/null || { echo "FAIL: no sample icons"; exit 1; }
cp material/sample.ico icons/only.ico

# The composer notes its arguments and its start (in ms), then runs up to 10 s, ending early
# once the test lets it go.
cat >bin/xdg-email <<MAILER
#!/bin/sh
printf '%s\n' "\$@" >"$WORK/mail.args"
date +%s%3N >"$WORK/mail.started"
i=0
while [ \$i -lt 100 ] && [ ! -e "$WORK/mail.release" ]; do sleep 0.1; i=\$((i + 1)); done
MAILER
chmod +x bin/xdg-email

"$1" options save || { echo "FAIL: no options store"; exit 1; }
sqlite3 "$GLYPHSCOPE_REGISTRY" "UPDATE reg_values SET data = 0 WHERE name = 'ShowTips'"

xs_start --wm
PATH="$WORK/bin:$PATH" "$GS" "/X:$WORK/icons" >out.txt 2>&1 &
pid=$!
main=$(xs_window "^Veltrazone Glyphscope") || { echo "FAIL: no main window: $(cat out.txt)"; kill $pid; exit 1; }

# F9 runs only once the scan has listed the icon: asked again until the composer has started.
send() {
  [ -s mail.started ] && return 0
  xdotool windowactivate --sync "$main" 2>/dev/null
  xdotool key --window "$main" ctrl+a F9 2>/dev/null
  [ -s mail.started ]
}
XS_SEEN="cat out.txt" xs_wait "the composer to be started" send || fail "Send To never started the composer"

if [ -s mail.started ]; then
  xdotool key alt+f Down
  if xp_popup_shows; then
    opened=$(date +%s%3N)
    late=$((opened - $(cat mail.started)))
    [ -e mail.release ] && fail "the composer was let go before the menu opened"
    [ "$late" -lt 4000 ] || fail "the menu opened ${late} ms after the composer started: the window waited on it"
    import -window root answering.png 2>/dev/null
    xdotool key Escape Escape
    xs_no_popup glyphscope || fail "the menu did not close"
  else
    fail "no menu opened while the composer ran"
  fi
  grep -qx -- '--attach' mail.args || fail "no attachment: $(tr '\n' ' ' <mail.args)"
  grep -q '/only_1\.ico$' mail.args || fail "the attachment is not the listed icon: $(tr '\n' ' ' <mail.args)"
fi

# Once the composer has returned the mail's job ends and the window closes (closing while it
# is busy is answered with a box asking to stop first: answered, and the close asked again).
touch mail.release
close() {
  kill -0 $pid 2>/dev/null || return 0
  if [ "$(xdotool search --onlyvisible --name "$XP_MAIN" 2>/dev/null | wc -l)" -gt 1 ]; then
    xdotool key Return 2>/dev/null
  else
    xdotool windowactivate --sync "$main" key alt+F4 2>/dev/null
  fi
  ! kill -0 $pid 2>/dev/null
}
xs_wait "the program to close" close || { fail "the program did not end"; kill -9 $pid; }
xs_exit $pid
[ "${XS_RC:-1}" = 0 ] || fail "the program ended with status ${XS_RC:-?}: $(cat out.txt)"

[ $failures -eq 0 ] && echo "the window answered while the composer ran; the mail carried the listed icon"
exit $failures
