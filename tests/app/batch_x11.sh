#!/usr/bin/env bash
# The real program's batch boxes under an X server and a window manager. SIGTERM, SIGHUP or
# Ctrl-C's SIGINT ends the program by that signal while its result box ("/XB:"), the
# warning of a refused argument or a silent batch's failure box waits, its files complete.
# A refused batch ends 1 on the roads with a display too: once the window it opens instead
# is closed, and beside a running window whose lock refuses a second one.
set -u
PROBE=$1; WORK=$2
GS=${GLYPHSCOPE:?the program to test}
HERE=$(cd "$(dirname "$0")" && pwd)  # xp_work changes the folder
source "$HERE/../support/xsession.sh"
source "$HERE/x11_program.sh"
source "$HERE/store.sh"
xs_missing wmctrl flock /usr/bin/import
xp_work
"$PROBE" make-samples src >/dev/null || exit 1
gs_store_without_tips "$PROBE" "$GLYPHSCOPE_REGISTRY"
lock="$XDG_RUNTIME_DIR/glyphscope-VEXUM-$(id -u).lock"
xs_start --wm

TITLE='^Veltrazone Glyphscope$'  # the result, warning and single-instance boxes, the main window
PRODUCT='^Glyphscope$'           # the progress window and the failure box
# A visible window named NAME that no earlier step handled, once it is the active one.
_fresh() {
  local w
  for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    case "$handled" in *" $w "*) continue ;; esac
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ] && { fresh=$w; return 0; }
  done
  return 1
}
_vanished() { ! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }

# step WINDOW:ACTION: waits for the window (main: the main window, its splash gone), then
# presses Return (the box goes), closes it, takes a screenshot or sends it a signal.
step() {
  local what=${1%%:*} action=${1#*:} name
  case $what in
    main) fresh=$(xp_main_window) || return 1 ;;
    title) XS_SEEN=xs_names xs_wait "a new active window named /$TITLE/" _fresh "$TITLE" || return 1 ;;
    product) XS_SEEN=xs_names xs_wait "a new active window named /$PRODUCT/" _fresh "$PRODUCT" || return 1 ;;
  esac
  case $action in
    Return) xdotool key Return; handled+="$fresh "; xs_wait "window $fresh to go" _vanished "$fresh" ;;
    close) wmctrl -i -c "$fresh"; handled+="$fresh " ;;
    shot) xs_shot "$WORK/$what.png" ;;
    *) kill -"$action" "$pid" ;;
  esac
}

while read -r holder arg want icons steps; do
  [ -z "$holder" ] || [ "${holder#\#}" != "$holder" ] && continue
  arg=${arg//SRC/$WORK/src}; arg=${arg//OUT/$WORK/out}
  rm -rf out; mkdir -p out/blocked/sample_2.ico
  handled=" "
  holding=(); [ "$holder" = lock ] && holding=(flock "$lock")
  # Job control gives the program SIGINT's default action, as a terminal's Ctrl-C finds it.
  set -m; "${holding[@]}" "$GS" "$arg" >run.txt 2>&1 & pid=$!; set +m
  for s in $steps; do step "$s" || { fail "$arg: step $s: $(cat run.txt)"; break; }; done
  if xs_exit $pid; then
    [ "$XS_RC" = "$want" ] || fail "$arg ($steps) ended $XS_RC, not $want: $(cat run.txt)"
  else
    fail "$arg ($steps) did not end: $(xs_names)"; kill -9 $pid
  fi
  # Only whole files: as many as the walk writes before its box waits, and no temporary.
  [ "$(ls -A out | grep -vx blocked | wc -l)" = "$icons" ] || fail "$arg left $(ls -A out | tr '\n' ' ')"
done <<'RUNS'
# holder  argument                    status  icons  steps
-         /XB:SRC/*.*,OUT             143     4      title:shot title:TERM
-         /XB:SRC/*.*,OUT             0       4      title:Return
-         /XBS:SRC/*.*                129     0      title:HUP
-         /XBS:SRC/*.*,OUT/blocked    130     0      product:INT
-         /XB:SRC/*.*                 1       0      title:Return main:close
lock      /XBS:SRC/*.*                1       0      title:Return title:Return
RUNS

[ $failures = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "batch boxes: a stop signal ends each, and a refused batch ends 1 with a display"
