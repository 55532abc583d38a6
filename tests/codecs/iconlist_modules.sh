#!/usr/bin/env bash
# An icon list filled from the named and numbered icon groups of PE32 and PE32+ modules
# linked by the mingw binutils: each entry holds the images wrestool finds in that group,
# pixel for pixel as icotool and ImageMagick read them.
set -u
probe=$1 work=$2
for t in i686-w64-mingw32-windres i686-w64-mingw32-ld x86_64-w64-mingw32-windres x86_64-w64-mingw32-ld cpp \
         wrestool icotool /usr/bin/convert; do
  command -v $t >/dev/null || { echo "skip: $t missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

pic() { /usr/bin/convert -size "$1" "$2" -alpha set -channel A -fx "$3" +channel "png32:$4"; }
pic 16x16 gradient:red-blue 'i%3==0?0:1' p16.png || exit 1
pic 32x32 plasma:fractal 'j%4==0?0.5:1' p32.png || exit 1
pic 48x48 gradient:green-yellow '1' p48.png || exit 1
icotool -c -o a.ico p16.png p32.png || exit 1
icotool -c -o b.ico p48.png || exit 1
/usr/bin/convert p16.png -colors 16 -type Palette png8:p16c.png && icotool -c -o c.ico p16c.png p48.png || exit 1
cat > m.rc <<'RC'
MAINICON ICON "a.ico"
FOLDER ICON "b.ico"
7 ICON "c.ico"
RC

# The pixels of every image of an icon file, one RGBA file per image in directory order.
images() {  # ICO DIR
  rm -rf "$2" && mkdir -p "$2" && icotool -x -o "$2" "$1" 2>/dev/null || return 1
  local k=0 f
  for f in $(ls "$2"/*.png | sort -t_ -k2 -n); do
    /usr/bin/convert "$f" -depth 8 rgba:"$2/$k.rgba" || return 1
    k=$((k + 1))
  done
  echo $k
}

for arch in i686 x86_64; do
  $arch-w64-mingw32-windres --preprocessor=cpp -i m.rc -o m_$arch.o || exit 1
  $arch-w64-mingw32-ld -shared -e 0 -o m_$arch.dll m_$arch.o || exit 1
  # Names in any case, the id in decimal and with "#".
  "$probe" iconlist-resources $arch.lst m_$arch.dll mainicon Folder '#7' || { fail "$arch: iconlist-resources"; continue; }
  "$probe" iconlist-unpack $arch.lst got_$arch >/dev/null || { fail "$arch: iconlist-unpack"; continue; }
  k=1
  for name in MAINICON FOLDER 7; do
    wrestool -x --type=14 --name=$name m_$arch.dll > want.ico 2>/dev/null || { fail "$arch: wrestool $name"; continue; }
    n_want=$(images want.ico want) n_got=$(images got_$arch/$k.ico got) || { fail "$arch $name: images"; continue; }
    [ "$n_want" = "$n_got" ] && [ "$n_want" -gt 0 ] || fail "$arch $name: $n_got images, wrestool has $n_want"
    for ((i = 0; i < n_want; i++)); do
      cmp -s want/$i.rgba got/$i.rgba || fail "$arch $name: image $i differs"
    done
    k=$((k + 1))
  done
  "$probe" iconlist-resources x.lst m_$arch.dll NOICON 2>missing.err && fail "$arch: a missing group accepted"
  grep -q "NOICON" missing.err || fail "$arch: the missing group not named: $(cat missing.err)"
done
"$probe" iconlist-resources x.lst a.ico MAINICON 2>/dev/null && fail "an icon file taken for a module"
[ $failures = 0 ] && echo "iconlist_modules: all checks passed"
[ $failures = 0 ]
