#!/usr/bin/env bash
# The real program's help and tips under an X server and a window manager, as a first start
# meets them: with a fresh settings store the Tip Of The Day window opens (the tips file was
# found beside the program) and closing it keeps the start-up tips on; F1 in the main window
# asks the desktop's opener for the shipped manual, F1 in Preferences for its section
# #help-500, F1 in the File menu for #help-100. The opener is a stand-in first on PATH that writes down what it was asked.
#
#   help_x11.sh GSPROBE WORK [PROGRAM]   PROGRAM defaults to $GLYPHSCOPE; its manual is
#                                        expected where HELP_EXPECTED says (default: beside it)
set -u
WORK=$2
GS=${3:-${GLYPHSCOPE:?the program to test}}
GS=$(cd "$(dirname "$GS")" && pwd)/$(basename "$GS")
HELP=${HELP_EXPECTED:-$(dirname "$GS")/glyphscope.html}
# shellcheck source=../support/xsession.sh
source "${GS_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xsession.sh"
xs_missing xdotool wmctrl openbox import sqlite3
rm -rf "$WORK"; mkdir -p "$WORK/run" "$WORK/bin"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
re() { printf '%s' "$1" | sed 's/[][\\.*^$+?(){}|]/\\&/g'; }  # the text as an extended regex

cat > "$WORK/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >> "$WORK/opened"
EOF
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"
export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
unset QT_QPA_PLATFORM
[ -f "$HELP" ] || { echo "FAIL: no manual at $HELP"; exit 1; }

xs_start --wm
"$GS" > "$WORK/out" 2>&1 & pid=$!
XS_SEEN="cat $WORK/out; xs_names"
# The first start: the tip of the day comes up over the main window.
if xs_window "^Tip Of The Day" >/dev/null && xs_active "^Tip Of The Day"; then
  import -window root "$WORK/first-start.png"
  xdotool key Return  # Close is the default button
  xs_gone "^Tip Of The Day" || fail "the tip window does not close"
else
  fail "no tip of the day at the first start"
fi
xs_active "^Veltrazone Glyphscope" || fail "the main window does not take the focus"

xdotool key F1
xs_line "$WORK/opened" "^$(re "$HELP")\$" || fail "F1 in the main window did not open $HELP"

xdotool key alt+f Down p
if xs_window "^Preferences" >/dev/null && xs_active "^Preferences"; then
  import -window root "$WORK/preferences.png"
  xdotool key F1
  # The section's address: file:// and the path with blanks and the like escaped.
  address="file://$(printf '%s' "$HELP" | sed 's/ /%20/g')#help-500"
  xs_line "$WORK/opened" "^$(re "$address")\$" || fail "F1 in Preferences did not open $address"
  xdotool key Escape
  xs_gone "^Preferences" || fail "Esc does not close Preferences"
else
  fail "Alt+F, Down, P did not open Preferences"
fi

# F1 on a command of the File menu: the manual at the File menu's section, the menu closed.
xs_active "^Veltrazone Glyphscope" && xdotool key alt+f Down
if xs_popup glyphscope; then
  import -window root "$WORK/file-menu.png"
  xdotool key F1
  address="file://$(printf '%s' "$HELP" | sed 's/ /%20/g')#help-100"
  xs_line "$WORK/opened" "^$(re "$address")\$" || fail "F1 in the File menu did not open $address"
  xs_no_popup glyphscope || fail "F1 left the File menu open"
else
  fail "Alt+F, Down opened no menu"
fi

xs_active "^Veltrazone Glyphscope" && xdotool key alt+f Down x
if xs_exit $pid; then
  [ "$XS_RC" = 0 ] || fail "the program ended with status $XS_RC: $(cat "$WORK/out")"
else
  fail "the program did not end after File, Exit"; kill -9 $pid 2>/dev/null
fi
# Closing the tip with its box ticked keeps the start-up tips on.
tips=$(sqlite3 "$GLYPHSCOPE_REGISTRY" \
  "SELECT data FROM reg_entries WHERE path LIKE '%\\Glyphscope\\Options' AND name = 'ShowTips'")
[ "$tips" = 1 ] || fail "ShowTips is '$tips' after the first start, not 1"
[ "$(wc -l < "$WORK/opened")" = 3 ] || fail "the opener was asked $(wc -l < "$WORK/opened") times: $(cat "$WORK/opened")"
exit $failures
