#!/usr/bin/env bash
# The favourites as the program stores them, read back by sqlite3, and saved whole even
# when the saving process is killed; the Glyphtrek verb's desktop entry as
# desktop-file-validate and GLib's launcher (gio) read it.
set -u
probe=$1 work=$2
for tool in sqlite3 desktop-file-validate gio; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
export GLYPHSCOPE_REGISTRY="$work/registry.sqlite3" XDG_DATA_HOME="$work/data"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
key='HKLM\Software\Veltrazone\Veltrazone Toolchest\Glyphscope\Favorites'
q() { sqlite3 -separator '|' "$GLYPHSCOPE_REGISTRY" "$1"; }

# The first save makes the key; the tree shows sorted; the store holds one value a favourite.
printf 'zeta|/z\nAlpha|/a b\nbeta|/b\n' | "$probe" favorites add-many || fail "add-many"
[ "$(q "SELECT count(*) FROM reg_key_paths WHERE path = '$key'")" = 1 ] || fail "no Favorites key"
[ "$(q "SELECT name, data FROM reg_entries WHERE path = '$key' AND type = 'REG_SZ' ORDER BY name")" = \
  "$(printf 'Alpha|/a b\nbeta|/b\nzeta|/z')" ] || fail "stored: $(q "SELECT * FROM reg_entries")"
# A folder made outside the program (empty) is shown and survives the next save.
q "INSERT INTO reg_keys(parent, root, name, name_fold) SELECT id, 2147483650, 'Empty', 'empty'
   FROM reg_key_paths WHERE path = '$key'"
echo 'ALPHA|/dup' | "$probe" favorites add-many 2>dup.err && fail "a name in another case was added"
grep -qF "A record named 'ALPHA' already exists." dup.err || fail "refusal: $(cat dup.err)"
expected=$(printf 'Favorites\n  [Empty]\n  Alpha|/a b\n  beta|/b\n  zeta|/z')
[ "$("$probe" favorites show)" = "$expected" ] || fail "show: $("$probe" favorites show)"

# A save killed while its transaction is open (its rollback journal has grown past what the
# options' save writes) leaves the old tree whole; an unkilled one leaves the whole new tree.
# 40000 favourites put in by sqlite3 make the save's journal pass that size.
q "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)
   INSERT INTO reg_values(key_id, name, name_fold, type, data)
   SELECT (SELECT id FROM reg_key_paths WHERE path = '$key'), 'fav' || i, 'fav' || i, 1, '/t' || i FROM n"
journal="$GLYPHSCOPE_REGISTRY-journal"
# The probe is killed by a preloaded library the moment its journal passes that size, so
# the save is caught mid-transaction however loaded the machine is.
killer=${GS_JOURNAL_KILLER:?the journal killer library}
echo 'extra|/x' | ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 LD_PRELOAD="$killer" \
  GS_KILL_JOURNAL="$(realpath -m "$journal")" GS_KILL_JOURNAL_BYTES=16384 "$probe" favorites add-many
rc=$?
[ $rc = 137 ] || fail "the save was not killed with its transaction open (exit status $rc)"
[ -s "$journal" ] || fail "the killed save left no journal"
total=40003
[ "$(q "SELECT count(*) FROM reg_entries WHERE path = '$key'")" = $total ] || fail "a killed save left a part"
echo 'extra|/x' | "$probe" favorites add-many || fail "add-many to $total"
[ "$(q "SELECT count(*) FROM reg_entries WHERE path = '$key'")" = $((total + 1)) ] || fail "the whole save is not there"
[ "$(q "SELECT count(*) FROM reg_key_paths WHERE path = '$key\\Empty'")" = 1 ] || fail "the empty folder went"

# The verb: registered for a program whose path needs quoting, validated and launched.
dir="$work/odd dir \$HOME \"q\" back\\slash"
mkdir -p "$dir" && prog="$dir/show args"
printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a"; done > "%s/argv"\n' "$work" > "$prog" && chmod +x "$prog"
entry="$XDG_DATA_HOME/applications/glyphscope-glyphtrek.desktop"
[ "$("$probe" shellverb status "$prog")" = 0 ] || fail "status before register"
"$probe" shellverb register "$prog" || fail "register"
[ "$("$probe" shellverb status "$prog")" = 2 ] || fail "status after register"
desktop-file-validate "$entry" || fail "entry refused: $(cat "$entry")"
source "$GS_SOURCE_DIR/tests/support/xsession.sh"  # for xs_wait alone: no X server here
gio launch "$entry" "$work/an item" && XS_SEEN="ls '$work'" xs_wait "the launched program's argv" test -s argv
[ "$(cat argv 2>/dev/null)" = "/X:$work/an item" ] || fail "launched with: $(cat argv 2>/dev/null)"
"$probe" shellverb register "$work/100%/prog" && desktop-file-validate "$entry" || fail "a path with %"
"$probe" shellverb register "$prog"
sed -i 's|^\(X-Glyphscope-Command-icofile=\).*|\1"/elsewhere" "/X:%1"|' "$entry"
[ "$("$probe" shellverb status "$prog")" = 1 ] || fail "a changed class"
[ "$("$probe" shellverb status /usr/bin/another)" = 0 ] || fail "another program's path"
"$probe" shellverb remove /usr/bin/another && [ -f "$entry" ] || fail "another program removed our entry"
"$probe" shellverb remove "$prog" && [ ! -e "$entry" ] || fail "remove left the entry"
[ "$("$probe" shellverb status "$prog")" = 0 ] || fail "status after remove"
[ $failures -eq 0 ] && echo "favourites and shell verb: ok"
exit $failures
