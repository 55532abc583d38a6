#!/usr/bin/env bash
# gsprobe's toolbar verbs: shortcut texts both ways, recent-list captions, and the menu
# settings as a store written by sqlite3's own hand would give them.
set -euo pipefail
probe=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
export GLYPHSCOPE_REGISTRY="$work/registry.sqlite3"
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/../support/cpu_bound.sh"

[ "$("$probe" tb-shortcut 16452)" = "Ctrl+D" ] || fail "16452"
[ "$("$probe" tb-shortcut Shift+Ctrl+Alt+X)" = 57432 ] || fail "Shift+Ctrl+Alt+X"

diff <(printf '&1 a\n&2 b\n&3 c\n&4 d\n') <("$probe" tb-mru 4 a b c d e f) || fail "mru 4"
mapfile -t lines < <("$probe" tb-mru 36 $(seq -f 'n%g' 1 36))
[ "${#lines[@]}" = 36 ] || fail "36 lines: ${#lines[@]}"
[ "${lines[0]}" = "&1 n1" ] && [ "${lines[8]}" = "&9 n9" ] || fail "digits"
[ "${lines[9]}" = "&A n10" ] && [ "${lines[34]}" = "&Z n35" ] && [ "${lines[35]}" = "n36" ] || fail "letters"
[ "$("$probe" tb-mru 4 '/a/Tom & Jerry')" = "&1 /a/Tom && Jerry" ] || fail "ampersand"
[ -z "$("$probe" tb-mru -1 a b c)" ] || fail "negative limit"

# The main window's toolbar: 12 buttons, a split button, a drop-down, 10 separators.
[ "$("$probe" tb-layout --metrics 13,0,6 "$GS_SOURCE_DIR/tests/toolbar/data/tbmain.txt" | tail -1)" = 401x22 ] ||
  fail "main toolbar size"

# Dock rows: the highest stored row lays out at once, a negative one is row 0; rows wrap.
diff <(printf 'a 1 0 400\nb 0 0 300\n') \
  <(cpu_bound 2 "$probe" tb-dockrows 800 a:2147483647:0:400:0:none b:-5:0:300:0:none) || fail "dock rows"
diff <(printf 't 1 0 200\nm 0 0 500\nu 1 200 300\n') \
  <("$probe" tb-dockrows 500 t:0:0:200:0:none m:0:50:100:0:wrap+full u:0:150:100:0:none+stretch) || fail "full, stretch"
for bad in "a:0:x:1:0:none/bad position" "a:0:0:1:0:sideways/bad mode" "a:0:0:1/want NAME" \
           "a:99999999999:0:1:0:none/bad row"; do
  ! out=$("$probe" tb-dockrows 500 "${bad%%/*}" 2>&1) && [[ $out == *"${bad#*/}"* ]] || fail "refused: $bad"
done

# A new store gives the defaults.
diff <(printf 'MenuShowDelay=400\nMenuPopup=0\nMenuCommand=0\n') <("$probe" tb-menu-settings) || fail "defaults"

command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed"; exit 77; }
# The delay and the sounds as set outside the program, through the documented tables.
q() { sqlite3 "$GLYPHSCOPE_REGISTRY" "$1"; }
key() {  # key PARENT_ID NAME: makes the key when missing, prints its id
  q "INSERT OR IGNORE INTO reg_keys(parent, root, name, name_fold) VALUES($1, 2147483649, '$2', lower('$2'));
     SELECT id FROM reg_keys WHERE parent = $1 AND name_fold = lower('$2');"
}
put() {  # put KEY_ID NAME TEXT: a REG_SZ value
  q "INSERT INTO reg_values(key_id, name, name_fold, type, data) VALUES($1, '$2', lower('$2'), 1, '$3')
     ON CONFLICT(key_id, name_fold) DO UPDATE SET type = 1, data = excluded.data;"
}
hkcu=$(q "SELECT id FROM reg_keys WHERE parent IS NULL AND root = 2147483649")
[ -n "$hkcu" ] || fail "no HKCU root in a new store"
desktop=$(key "$(key "$hkcu" 'Control Panel')" Desktop)
for pair in "250 250" "abc 0" "-5 0" "$(printf '%040d' 7) 0"; do
  set -- $pair
  put "$desktop" MenuShowDelay "$1"
  [ "$("$probe" tb-menu-settings | head -1)" = "MenuShowDelay=$2" ] || fail "MenuShowDelay $1"
done

parent=$hkcu
for part in AppEvents Schemes Apps .Default MenuCommand .Current; do parent=$(key "$parent" "$part"); done
put "$parent" '' ''
"$probe" tb-menu-settings | grep -qx 'MenuCommand=0' || fail "empty sound"
put "$parent" '' 'menu command.wav'
diff <(printf 'MenuPopup=0\nMenuCommand=1\n') <("$probe" tb-menu-settings | tail -2) || fail "sound set"
