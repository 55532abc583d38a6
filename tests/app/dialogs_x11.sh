#!/usr/bin/env bash
# The real program's dialogs under an X server and a window manager, as a user meets them:
# Select File opens a file typed without an extension (listed, and kept in the recent
# files); F1 in Select File and Select Folder opens the manual at their sections; the
# Preferences editor's browse dialog lists each type's text once (a screenshot of its type
# list stays in the work folder) and takes "my app" as typed; F5 with a filter active lists
# everything without "Filtered" in the status bar (judged by the status bar's pixels, which
# then equal those of the unfiltered listing); a silent batch that fails shows its box.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
SAMPLES=${GS_SAMPLES:?the folder of sample icons}
HELP=$(dirname "$GS")/glyphscope.html
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
source "$(dirname "$0")/x11_program.sh"
xs_missing xwininfo sqlite3 /usr/bin/import /usr/bin/convert
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/icons" "$WORK/files" "$WORK/bin" "$WORK/home"; chmod 700 "$WORK/run"
cd "$WORK" || exit 1
cp "$SAMPLES"/*.ico "$WORK/icons/" || exit 1
cp "$SAMPLES/sun.ico" "$WORK/files/notepad"
cp "$SAMPLES/sun.ico" "$WORK/files/my app"
cat > "$WORK/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >> "$WORK/opened"
EOF
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$(dirname "$0")/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
re() { printf '%s' "$1" | sed 's/[][\\.*^$+?(){}|]/\\&/g'; }  # the text as an extended regex
section() { printf 'file://%s#help-%s' "$(printf '%s' "$HELP" | sed 's/ /%20/g')" "$1"; }
q() { sqlite3 "$GLYPHSCOPE_REGISTRY" "$1"; }

xs_start --wm
"$GS" "/X:$WORK/icons" >"$WORK/out" 2>&1 &
pid=$!
XS_PIDS+=($pid)
main=$(xs_window "^Veltrazone Glyphscope") || { cat "$WORK/out"; exit 1; }
xs_active "^Veltrazone Glyphscope" || exit 1
xdotool mousemove 1020 760  # no hint in the status bar
read -r mx my mw mh < <(xp_box "$main")

# The status bar: the window's bottom strip, as on the screen.
bar() {
  /usr/bin/import -window root "$WORK/screen.png" 2>/dev/null &&
    /usr/bin/convert "$WORK/screen.png" -crop "${mw}x24+$mx+$((my + mh - 24))" +repage rgb:- | md5sum | cut -c1-32
}
# Waits until the bar looks the same twice running and, given looks, differs from the first
# (when it is not "=") and equals the second (when given); prints the look.
bar_settled() {
  local last="" now not=${1:-} want=${2:-}
  _xs_bar() {
    now=$(bar)
    [ -n "$now" ] && [ "$now" = "$last" ] && [ "$now" != "$not" ] && { [ -z "$want" ] || [ "$now" = "$want" ]; } ||
      { last=$now; false; }
  }
  XS_SEEN='echo last look $last' xs_wait "the status bar to settle" _xs_bar || return 1
  echo "$now"
}

# F5 with a filter: everything listed again, and "Filtered" gone with the filter.
unfiltered=$(bar_settled) || { fail "the listing never settled"; exit 1; }
cp "$WORK/screen.png" "$WORK/unfiltered.png"
xdotool key alt+v
xs_popup glyphscope || fail "Alt+V opened no menu"
xdotool key t  # Filter Icons...
if xs_window "^Filter Icons" >/dev/null && xs_active "^Filter Icons"; then
  xdotool key Return  # OK with no criterion: a filter set that keeps every icon
  xs_gone "^Filter Icons" || fail "the Filter dialog did not close on Return"
  bar_settled "$unfiltered" >/dev/null || fail "the status bar does not show the filter"
  cp "$WORK/screen.png" "$WORK/filtered.png"
  xdotool key F5
  bar_settled = "$unfiltered" >/dev/null || { cp "$WORK/screen.png" "$WORK/after-F5.png"; fail "after F5 the status bar is not that of the unfiltered listing (Filtered stayed?)"; }
else
  fail "Alt+V, T opened no Filter dialog"
fi

# Select File: F1 opens its section; a path typed without an extension is opened as typed.
xs_active "^Veltrazone Glyphscope" && xdotool key ctrl+f
if xs_window "^Please select the file" >/dev/null && xs_active "^Please select the file"; then
  xdotool key F1
  xs_line "$WORK/opened" "^$(re "$(section 102)")\$" || fail "F1 in Select File did not open $(section 102)"
  xdotool type --delay 20 "$WORK/files/notepad"
  xdotool key Return
  xs_gone "^Please select the file" || fail "Select File refused $WORK/files/notepad: $(xs_names)"
  bar_settled "$unfiltered" >/dev/null || fail "the typed file was not listed"
else
  fail "Ctrl+F opened no Select File dialog"
fi

# Select Folder: F1 opens its section.
xs_active "^Veltrazone Glyphscope" && xdotool key ctrl+d
if xs_window "^Please select the folder" >/dev/null && xs_active "^Please select the folder"; then
  xdotool key F1
  xs_line "$WORK/opened" "^$(re "$(section 101)")\$" || fail "F1 in Select Folder did not open $(section 101)"
  xdotool key Escape
  xs_gone "^Please select the folder" || fail "Esc did not close Select Folder"
else
  fail "Ctrl+D opened no Select Folder dialog"
fi

# Preferences, the editor's browse dialog: its type list, F1, and "my app" taken as typed.
xs_active "^Veltrazone Glyphscope" && xdotool key alt+f Down p
if xs_window "^Preferences" >/dev/null && xs_active "^Preferences"; then
  xdotool key alt+l alt+Down  # the Application field, then its button's key
  if xs_window "^Select Icon Editing Application" >/dev/null && xs_active "^Select Icon Editing Application"; then
    xdotool key Tab alt+Down  # from the file name to the type list, opened
    xs_shot "$WORK/editor-types.png"
    xdotool key Escape
    xdotool key F1
    xs_line "$WORK/opened" "^$(re "$(section 500)")\$" || fail "F1 in the editor's browse dialog did not open $(section 500)"
    xdotool key shift+Tab
    xdotool type --delay 20 "$WORK/files/my app"
    xdotool key Return
    xs_gone "^Select Icon Editing Application" || fail "the browse dialog refused '$WORK/files/my app': $(xs_names)"
    xs_active "^Preferences" && xdotool key Return  # OK
    xs_gone "^Preferences" || fail "Preferences did not close on OK: $(xs_names)"
    editor=$(q "SELECT data FROM reg_entries WHERE path LIKE '%\\Glyphscope\\Options' AND name = 'IconEditApp'")
    [ "$editor" = "$WORK/files/my app" ] || fail "the editor was stored as '$editor'"
  else
    fail "Alt+Down in the Application field opened no browse dialog"
    xdotool key Escape
  fi
else
  fail "Alt+F, Down, P did not open Preferences"
fi

xs_active "^Veltrazone Glyphscope" && xdotool key alt+f Down x
if xs_exit $pid; then
  [ "$XS_RC" = 0 ] || fail "the program ended with status $XS_RC: $(cat "$WORK/out")"
else
  fail "the program did not end after File, Exit"; kill -9 $pid 2>/dev/null
fi
[ "$(q "SELECT count(*) FROM reg_entries WHERE path LIKE '%\\MRUFiles' AND name = '$WORK/files/notepad'")" = 1 ] ||
  fail "$WORK/files/notepad is not among the recent files"

# A silent batch that fails, with a display: the box says so; its end says 1.
mkdir -p "$WORK/out-dir/sun_1.ico"  # a folder where the batch writes its first file
"$GS" "/XBS:$WORK/icons/sun.ico,$WORK/out-dir" >"$WORK/batch.out" 2>&1 &
batch=$!
XS_PIDS+=($batch)
if xs_window "^Glyphscope$" >/dev/null; then
  xs_shot "$WORK/batch-failed.png"
  xdotool key Return
else
  fail "a failing silent batch showed no box: $(cat "$WORK/batch.out")"
fi
xs_exit $batch || { fail "the batch did not end"; kill -9 $batch; }
[ "${XS_RC:-0}" = 1 ] || fail "the failed batch ended with status ${XS_RC:-?}"
[ $failures -eq 0 ] && echo "dialogs: typed names opened as typed, F1 at each section, Filtered gone after F5"
exit $failures
