#!/usr/bin/env bash
# PE32 and PE32+ modules linked by the mingw binutils from icon files made here, and an
# icon library written by our writer, held against wrestool, icotool and ImageMagick.
set -u
PROBE=$1; WORK=$2
. "$(dirname "$0")/oracle_lib.sh"
have_tools || exit 77
for t in i686-w64-mingw32-windres i686-w64-mingw32-ld x86_64-w64-mingw32-windres x86_64-w64-mingw32-ld cpp; do
  command -v $t >/dev/null || { echo "missing $t"; exit 77; }
done
rm -rf "$WORK"; mkdir -p "$WORK"; cd "$WORK" || exit 1

make_test_icons || exit 1

cat > m.rc <<'RC'
1 ICON "a.ico"
7 ICON "b.ico"
MAINICON ICON "c.ico"
LANGUAGE 0x07, 0x01
2 ICON "b.ico"
LANGUAGE 0x09, 0x01
2 ICON "a.ico"
RC
status=0
for arch in i686 x86_64; do
  $arch-w64-mingw32-windres --preprocessor=cpp -i m.rc -o m_$arch.o || exit 1
  $arch-w64-mingw32-ld -shared -e 0 -o m_$arch.dll m_$arch.o || exit 1
  compare_module "$PWD/m_$arch.dll" || status=1
done
# An icon library written by our own writer from those modules' icons, read by wrestool.
"$PROBE" icl lib.icl "$PWD/m_i686.dll" "$PWD/a.ico=Fancy" || exit 1
file lib.icl | grep -qiE 'icons? library' || { echo "FAIL: file does not call lib.icl an icon library: $(file lib.icl)"; status=1; }
CHECK_NAMES=0 compare_module "$PWD/lib.icl" || status=1
"$PROBE" list lib.icl | cut -f3 | tr '\n' ' ' | grep -q '^MAINICON 1 2 7 Fancy $' || { echo "FAIL icl names: $("$PROBE" list lib.icl | cut -f3 | tr '\n' ' ')"; status=1; }
[ $status = 0 ] && echo "all modules match"
exit $status
