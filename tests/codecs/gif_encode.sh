#!/usr/bin/env bash
# gsprobe gif-encode held against giftopnm, giftext and ImageMagick: every reduction and
# dither mode gives a file the decoders accept without complaint, indexed bitmaps keep their
# colours, the encoders and the interlaced layout decode to the same picture, output is
# reproducible, and invalid settings are refused with their messages.
set -u
probe=$1 work=$2
for tool in /usr/bin/convert /usr/bin/giftopnm /usr/bin/giftext; do
  [ -x $tool ] || { echo "skip: $tool missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
decodes() {  # FILE: giftopnm reads it without a word
  giftopnm "$1" >"$1.ppm" 2>"$1.err" || { fail "giftopnm refuses $1: $(cat "$1.err")"; return 1; }
  [ -s "$1.err" ] && { fail "giftopnm complains about $1: $(cat "$1.err")"; return 1; }
  return 0
}
pixels() { /usr/bin/convert "$1" -depth 8 rgb:-; }
refused() {  # MESSAGE ARGS...: gif-encode fails with MESSAGE
  local msg=$1; shift
  if "$probe" gif-encode "$@" 2>refused.err; then fail "accepted: $*"; fi
  grep -qF "$msg" refused.err || fail "'$*' did not say '$msg': $(cat refused.err)"
}

/usr/bin/convert -seed 7 -size 97x61 plasma:fractal BMP3:true.bmp || exit 1
/usr/bin/convert true.bmp -colors 50 -type Palette -compress None BMP3:indexed.bmp || exit 1
/usr/bin/convert -size 33x17 pattern:checkerboard -colors 2 -type Palette -compress None BMP3:mono.bmp || exit 1

"$probe" gif-encode true.bmp a.gif && "$probe" gif-encode true.bmp b.gif || fail "default export"
cmp -s a.gif b.gif || fail "two runs differ"
[ "$(head -c 6 a.gif)" = GIF87a ] || fail "an opaque export is not 87a"
decodes a.gif

for reduction in 1 2 3 4 5 6 7 8; do
  for dither in 0 1 2 3 4 5 6; do
    out=r${reduction}d$dither.gif
    "$probe" gif-encode --reduction $reduction --dither $dither true.bmp $out || { fail "$out"; continue; }
    decodes $out
  done
done
for bits in 1 3 8; do
  "$probe" gif-encode --reduction 7 --bits $bits true.bmp oct$bits.gif && decodes oct$bits.gif || fail "octree $bits bits"
  colours=$(/usr/bin/convert oct$bits.gif -format %k info:)
  [ "$colours" -le $((1 << bits)) ] || fail "octree of $bits bits has $colours colours"
done

for input in indexed mono; do
  for variant in "" "--rle" "--interlace" "--rle --interlace"; do
    out="$input$(echo "$variant" | tr -d ' -').gif"
    "$probe" gif-encode $variant $input.bmp "$out" && decodes "$out" || { fail "$input $variant"; continue; }
    cmp -s <(pixels "$out") <(pixels $input.bmp) || fail "$out has other colours than $input.bmp"
  done
  [ "$(giftext ${input}interlace.gif | grep -c 'Image is Interlaced')" = 1 ] || fail "$input: interlace flag not written"
done

"$probe" gif-encode --transparent true.bmp t.gif && decodes t.gif || fail "transparent export"
[ "$(head -c 6 t.gif)" = GIF89a ] || fail "a transparent export is not 89a"
giftext t.gif | grep -q "Transparency on: yes" || fail "no transparent colour in t.gif"

refused "Invalid reduction method" --reduction 10 true.bmp x.gif
refused "Invalid dither mode" --dither 7 true.bmp x.gif
refused "Invalid reduction bit count" --bits 9 true.bmp x.gif
refused "Color table overflow" --reduction 0 true.bmp x.gif
refused "Color table is empty" --reduction 9 true.bmp x.gif
[ -e x.gif ] && fail "a refused export left a file"

[ $failures = 0 ] && echo "gif_encode: all checks passed"
exit $((failures > 0))
