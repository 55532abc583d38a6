#!/usr/bin/env bash
# The real program under an X server and a window manager, started on a folder with
# subfolders on: the folder holds one icon file, a link to / and a FIFO named like an icon,
# so the scan lists exactly one icon (it never walks the disk through the link, nor hangs
# on the FIFO). Select All and Edit Icon (Ctrl+A, Ctrl+E) hand that icon to the external
# editor (a script recording its argument); the file stays after the program has ended,
# while the program's own temporary folder is gone.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
. "$GS_SOURCE_DIR/tests/support/xsession.sh"
xs_missing sqlite3 icotool mkfifo /usr/bin/import
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/tmp" "$WORK/icons/sub"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The listed folder: one icon, a way out to the whole disk, a FIFO that would block a reader.
"$1" make-samples material >/dev/null || { echo "FAIL: no sample icons"; exit 1; }
cp material/sample.ico icons/only.ico
ln -s / icons/root
mkfifo icons/sub/pipe.ico
[ -p icons/sub/pipe.ico ] && [ -L icons/root ] || { echo "FAIL: the folder could not be made"; exit 1; }

# The editor records the file it is given, one line per start.
cat >editor.sh <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$WORK/editor.log"
EOF
chmod +x editor.sh

# A store with the editor set, subfolders on and no tip window in the way.
"$1" options save || { echo "FAIL: no options store"; exit 1; }
sqlite3 "$GLYPHSCOPE_REGISTRY" "UPDATE reg_values SET data = '$WORK/editor.sh' WHERE name = 'IconEditApp';
  UPDATE reg_values SET data = 0 WHERE name = 'ShowTips'; UPDATE reg_values SET data = 1 WHERE name = 'IncludeSubfolders'"
sqlite3 "$GLYPHSCOPE_REGISTRY" "SELECT data FROM reg_values WHERE name = 'IconEditApp'" | grep -qx "$WORK/editor.sh" ||
  { echo "FAIL: the editor option could not be set"; exit 1; }

xs_start --wm
TMPDIR="$WORK/tmp" "$GS" "/X:$WORK/icons" >out.txt 2>&1 &
pid=$!
main=$(xs_window "^Veltrazone Glyphscope") || { echo "FAIL: no main window: $(cat out.txt)"; kill $pid; exit 1; }

# Ctrl+E runs only with exactly one icon selected and the scan ended: asked again until the
# editor has run (a scan through / would keep the window busy, or list more than one).
edit() {
  xdotool windowactivate --sync "$main" 2>/dev/null
  xdotool key --window "$main" ctrl+a ctrl+e 2>/dev/null
  [ -s editor.log ]
}
XS_SEEN="cat out.txt" xs_wait "the editor to be started" edit || fail "the editor was never started"
import -window root listed.png
xdotool windowactivate --sync "$main" key alt+F4 2>/dev/null
xs_exit $pid || { fail "the program did not end"; kill -9 $pid; }
[ "${XS_RC:-1}" = 0 ] || fail "the program ended with status ${XS_RC:-?}: $(cat out.txt)"

handed=$(head -1 editor.log 2>/dev/null)
[ "$(sort -u editor.log 2>/dev/null | wc -l)" = 1 ] || fail "the editor got other files: $(cat editor.log 2>/dev/null)"
[ "$(basename "$handed")" = "only_1.ico" ] || fail "the editor got $handed, not the one listed icon"
[ -f "$handed" ] || fail "the editor's file $handed is gone after the program ended"
icotool -l "$handed" >/dev/null 2>&1 || fail "the editor's file is not an icon file"
case "$handed" in "$WORK/tmp/"*) ;; *) fail "the editor's file is outside TMPDIR: $handed" ;; esac
[ "$(stat -c %a "$(dirname "$handed")")" = 700 ] || fail "the editor's folder is open to others"
# The program's own scratch folder went at exit: only the hand-over folder is left.
left=$(find "$WORK/tmp" -mindepth 1 -maxdepth 1 ! -path "$(dirname "$handed")")
[ -z "$left" ] || fail "left behind in TMPDIR: $left"

[ $failures -eq 0 ] && echo "the editor's file outlives the program; the scan listed the folder's own icon"
exit $failures
