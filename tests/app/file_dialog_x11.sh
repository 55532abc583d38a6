#!/usr/bin/env bash
# The real program's file dialog under an X server, traced by strace: told by Qt's own
# settings that it last showed /proc, the dialog opens in the home folder instead and never
# lists /proc; taken to /proc by hand, it lists the folder (every entry looked at) without
# opening a file there, /proc/kmsg least of all (a read of it waits for the next kernel
# message, for ever as root). Taken to a folder of the user's, the next dialog opens there.
# The program then ends normally.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing strace
[ -e /proc/kmsg ] || { echo "no /proc/kmsg here"; exit 77; }
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/home/.config"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$(dirname "$0")/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
# What Qt's file dialog writes when it closes on a folder: it reopens there by itself.
printf '[FileDialog]\nlastVisited=file:///proc\n' >"$WORK/home/.config/QtProject.conf"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
trace="$WORK/trace"
traced() { grep -qE -- "$1" "$trace"; }

xs_start --wm
strace -f -qq -e trace=openat,open,statx,newfstatat,lstat,stat -o "$trace" "$GS" >"$WORK/out" 2>&1 &
pid=$!
XS_PIDS+=($pid)
xs_window "^Veltrazone Glyphscope" >/dev/null || { cat "$WORK/out"; exit 1; }
xs_active "^Veltrazone Glyphscope" || exit 1
xdotool key ctrl+f
xs_window "^Please select the file" >/dev/null || exit 1
xs_active "^Please select the file" || exit 1
# The dialog lists where it opened: the home folder, not the remembered /proc.
XS_SEEN="tail -2 $trace" xs_wait "the dialog to list the home folder" traced "\"$HOME/?\".*O_DIRECTORY" ||
  fail "the file dialog did not open in the home folder"
traced '"/proc/?", O_RDONLY.*O_DIRECTORY' && fail "the file dialog opened in the /proc it showed last"
/usr/bin/import -window root "$WORK/home-folder.png"

xdotool type --delay 30 "/proc/"
xdotool key Return
XS_SEEN="tail -2 $trace" xs_wait "the dialog to look at /proc/kmsg" traced 'stat.*"/proc/kmsg"' ||
  fail "the dialog never listed /proc"
/usr/bin/import -window root "$WORK/proc-folder.png"
# Esc closes the completer's list first when it shows, then the dialog.
close_dialog() {
  local closed=0
  for _ in 1 2 3; do
    xdotool key Escape
    XS_BOUND=5 xs_gone "^Please select the file" 2>/dev/null && { closed=1; break; }
  done
  [ $closed = 1 ] || fail "the file dialog did not close"
}
close_dialog
open_dialog() {
  xdotool key ctrl+f
  xs_window "^Please select the file" >/dev/null && xs_active "^Please select the file"
}

# Taken to a folder of the user's and closed there, the next dialog opens in that folder.
mkdir -p "$WORK/icons"
open_dialog || fail "Ctrl+F opened no second file dialog"
xdotool type --delay 30 "$WORK/icons/"
xdotool key Return
XS_SEEN="tail -2 $trace" xs_wait "the dialog to list $WORK/icons" traced "\"$WORK/icons/?\".*O_DIRECTORY" ||
  fail "the dialog never listed $WORK/icons"
close_dialog
mark=$(wc -l <"$trace")
since() { tail -n +"$((mark + 1))" "$trace" | grep -qE -- "$1"; }
open_dialog || fail "Ctrl+F opened no third file dialog"
XS_SEEN="tail -2 $trace" xs_wait "the next dialog to list $WORK/icons" since "\"$WORK/icons/?\".*O_DIRECTORY" ||
  fail "the next file dialog did not open where the last one was left"
/usr/bin/import -window root "$WORK/last-folder.png"
close_dialog
xdotool key alt+f Down
xs_popup glyphscope || fail "Alt+F, Down opened no menu"
xdotool key x  # File > Exit
xs_exit $pid || { fail "the program did not end (a read blocked?)"; kill -9 $pid; }
[ "${XS_RC:-1}" = 0 ] || fail "the program ended with status ${XS_RC:-?}"
if traced 'open(at)?\(.*"/proc/kmsg"'; then fail "a file in /proc was opened: $(grep -m3 -E 'open(at)?\(.*"/proc/kmsg"' "$trace")"; fi
opened=$(grep -E 'openat\(AT_FDCWD, "/proc/[^/"]+", O_RDONLY\|O_CLOEXEC\)' "$trace" | grep -vE '"/proc/(self|meminfo|[0-9]+)' | head -3)
[ -z "$opened" ] || fail "files of /proc were read to show them: $opened"
[ $failures -eq 0 ] && echo "file dialog: /proc listed without a file in it opened, never a remembered start"
exit $failures
