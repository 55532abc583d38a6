#!/usr/bin/env bash
# cmake --install into a fresh prefix (its name holds a blank): the program, its manual and
# tips under share/glyphscope, a desktop entry that desktop-file-validate accepts and that
# starts the installed program, and the program's icon at every size of the hicolor theme.
# Then the installed program itself, under X, finds its tips (the first start shows one) and
# its manual (F1 asks the opener for PREFIX/share/glyphscope/glyphscope.html).
set -u
WORK=$2
BUILD=${GS_BUILD_DIR:?the build folder to install from}
xs_tools="cmake desktop-file-validate identify"
for tool in $xs_tools; do command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }; done
rm -rf "$WORK"; mkdir -p "$WORK"
P="$WORK/my prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$BUILD" --prefix "$P" > "$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; echo "FAIL: cmake --install"; exit 1; }
for f in bin/glyphscope share/glyphscope/glyphscope.html share/glyphscope/glyphscope.tip \
         share/applications/glyphscope.desktop; do
  [ -f "$P/$f" ] || fail "$f was not installed"
done
[ -x "$P/bin/glyphscope" ] || fail "the installed program is not executable"
entry="$P/share/applications/glyphscope.desktop"
if [ -f "$entry" ]; then
  desktop-file-validate "$entry" > "$WORK/validate.log" 2>&1 || fail "desktop-file-validate: $(cat "$WORK/validate.log")"
  grep -qx "Exec=\"$P/bin/glyphscope\"" "$entry" || fail "the entry does not start the installed program: $(grep ^Exec "$entry")"
  grep -qx "Icon=glyphscope" "$entry" || fail "the entry does not name the theme icon"
fi
for n in 16 24 32 48 64 128 256; do
  png="$P/share/icons/hicolor/${n}x${n}/apps/glyphscope.png"
  got=$(identify -format '%w %h %m' "$png" 2>/dev/null)
  [ "$got" = "$n $n PNG" ] || fail "the ${n}x${n} icon is '$got'"
done
# The icon is a picture, not an empty square: some pixels opaque, the corners transparent.
opaque=$(/usr/bin/convert "$P/share/icons/hicolor/48x48/apps/glyphscope.png" -alpha extract -threshold 50% -format '%[fx:mean]' info: 2>/dev/null)
corner=$(/usr/bin/convert "$P/share/icons/hicolor/48x48/apps/glyphscope.png" -format '%[fx:p{0,0}.a]' info: 2>/dev/null)
awk -v m="${opaque:-0}" 'BEGIN { exit !(m > 0.15 && m < 0.85) }' || fail "the icon's opaque share is '$opaque'"
[ "$corner" = 0 ] || fail "the icon's corner is not transparent ($corner)"

if [ -n "${GS_WITH_WINDOWS:-}" ]; then
  HELP_EXPECTED="$P/share/glyphscope/glyphscope.html" \
    bash "$(dirname "$0")/help_x11.sh" "$1" "$WORK/x11" "$P/bin/glyphscope"
  rc=$?
  [ $rc = 77 ] && exit 77
  [ $rc = 0 ] || fail "the installed program under X"
fi
exit $failures
