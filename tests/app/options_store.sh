#!/usr/bin/env bash
# `gsprobe options save` on a new store leaves every option with its default and type
# under the application key, and the extension list in order, as sqlite3 reads them.
set -euo pipefail
probe=$1 work=$2
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
export GLYPHSCOPE_REGISTRY="$work/config/registry.sqlite3"
"$probe" options save

key='HKLM\Software\Veltrazone\Veltrazone Toolchest\Glyphscope\Options'
q() { sqlite3 -separator ' ' "$GLYPHSCOPE_REGISTRY" "$1"; }
actual=$(q "SELECT name, type, quote(data) FROM reg_entries WHERE path = '$key' ORDER BY seq")
expected="SaveWindow REG_DWORD 1
PreventMultiple REG_DWORD 1
MRULimit REG_DWORD 10
DefaultFolder REG_SZ ''
PromptForFileName REG_DWORD 0
SaveAllSizes REG_DWORD 1
SetTransparency REG_DWORD 1
PromptForImageFormat REG_DWORD 1
DefaultImageFormat REG_DWORD 0
IconEditApp REG_SZ ''
IncludeSubfolders REG_DWORD 1
IgnoreRepeated REG_DWORD 0
LimitIcons REG_DWORD 0
LimitNumber REG_DWORD 500
MemStop REG_DWORD 0
MemStopPerc REG_DWORD 95
ListFontName REG_SZ 'Tahoma'
ListFontSize REG_DWORD 0
ListWindowsColors REG_DWORD 1
ListTextColor REG_DWORD 0
ListBackColor REG_DWORD 12632256
ShowTips REG_DWORD 1"
diff <(echo "$expected") <(echo "$actual")

filters=$(q "SELECT group_concat(name, ' ') FROM (SELECT name FROM reg_entries
             WHERE path = '$key\\Filters' AND type = 'REG_SZ' AND data = '' ORDER BY seq)")
[ "$filters" = ".exe .dll .ico .cpl .ocx .icl" ] || { echo "Filters: $filters"; exit 1; }

# Values changed outside the program are read back as stored and used clamped.
q "UPDATE reg_values SET data = 50 WHERE name = 'MRULimit'"
"$probe" options show | grep -qx 'MRULimit stored=REG_DWORD:50 effective=20'
"$probe" options save
[ "$(q "SELECT data FROM reg_entries WHERE path = '$key' AND name = 'MRULimit'")" = 50 ]

# A store damaged outside the program is moved aside, never overwritten.
printf 'not a database at all, not at all, not at all, not at all, not at all, not at all' > "$GLYPHSCOPE_REGISTRY"
"$probe" options save 2>"$work/stderr"
grep -q 'moved aside' "$work/stderr"
ls "$work/config"/registry.sqlite3.corrupt-* >/dev/null
[ "$(q "SELECT count(*) FROM reg_entries WHERE path = '$key'")" = 22 ]
echo "options store: ok"
