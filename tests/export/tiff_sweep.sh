#!/usr/bin/env bash
# Every kind of TIFF file we write, held against libtiff: bilevel, two-colour, 4-bit and
# 8-bit palette, 24- and 32-bit pictures at sizes from 1 x 1 up, odd and even (so rows,
# values and the directory fall on every alignment), and the bitmaps the icon commands
# export. tiffinfo must read each without a word on stderr, tiffdump must show every ASCII
# value ending in its NUL and every value on a word boundary, and ImageMagick must see the
# pixels of the source.
set -u
probe=$1
work=$2
IM=/usr/bin/convert
for tool in $IM /usr/bin/tiffinfo /usr/bin/tiffdump /usr/bin/file /usr/bin/python3; do
  [ -x "$tool" ] || { echo "skipped: $tool is missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0 checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pixels() { $IM "$1" -depth 8 rgb:- | md5sum; }

# check TIFF SOURCE: libtiff reads it silently, ImageMagick sees SOURCE's pixels.
check() {
  local tif=$1 src=$2
  checked=$((checked + 1))
  tiffinfo "$tif" >info.out 2>info.err || { fail "tiffinfo refuses $tif: $(cat info.err)"; return; }
  [ -s info.err ] && fail "tiffinfo warns about $tif: $(cat info.err)"
  grep -q 'Software: Tavorn lab$' info.out || fail "$tif: no Software text: $(grep -i software info.out)"
  tiffdump "$tif" >dump.out 2>&1 || { fail "tiffdump refuses $tif"; return; }
  # "Software (305) ASCII (2) 11<Tavorn lab\0>": the count holds the NUL, which tiffdump shows.
  grep -E '^[A-Za-z]+ \([0-9]+\) ASCII' dump.out | grep -vq '\\0>$' && fail "$tif: an ASCII value without its NUL: $(grep ASCII dump.out)"
  grep -q 'Software (305) ASCII (2) 11<Tavorn lab\\0>' dump.out || fail "$tif: Software is $(grep 305 dump.out)"
  local ifd; ifd=$(sed -n 's/^Directory 0: offset \([0-9]*\).*/\1/p' dump.out)
  [ -n "$ifd" ] && [ $((ifd % 2)) = 0 ] || fail "$tif: directory at offset '${ifd}', not on a word boundary"
  [ "$(pixels "$tif")" = "$(pixels "$src")" ] || fail "$tif has other pixels than $src"
}

# depth_is BMP BITS: file(1) says the BMP has that depth (else the sweep cannot be trusted).
depth_is() { case "$(file -b "$1")" in *" x $2,"* | *" x $2 "*) return 0 ;; esac; echo "FAIL: $1 is not $2 bits: $(file -b "$1")"; exit 1; }

sizes="1x1 2x1 1x3 3x5 7x2 8x8 9x9 15x7 16x16 17x3 31x2 32x32 33x17 48x48 255x3 256x256"
python3 "$(dirname "$0")/bmp_sweep_sources.py" $sizes || { echo "FAIL: no source bitmaps"; exit 1; }
for size in $sizes; do
  depth_is bw$size.bmp 1
  depth_is rgb24_$size.bmp 24
  depth_is rgb32_$size.bmp 32
  for kind in bw two p4_ p8_ rgb24_ rgb32_; do
    src=$kind$size.bmp
    "$probe" export-bmp tif "$src" "${src%.bmp}.tif" || { fail "tif export of $src"; continue; }
    check "${src%.bmp}.tif" "$src"
  done
done
# The palette pictures really were palette pictures somewhere in the sweep.
depth_is p4_16x16.bmp 4
depth_is p8_48x48.bmp 8
depth_is two9x9.bmp 1

# The bitmaps the icon commands export: each exact size, the rescaled ones and the preview.
"$probe" make-samples samples >/dev/null || { echo "FAIL: no sample icons"; exit 1; }
for kind in exact16 exact32 exact48 scaled16 scaled32 scaled48 preview; do
  for file in samples/sample.ico samples/sample.dll; do
    out=icon_$(basename "$file")_$kind
    "$probe" bitmap "$file" 0 $kind $out.bmp || continue  # an icon without that size gives none
    "$probe" export tif "$file" 0 $kind $out.tif || { fail "tif export of $file $kind"; continue; }
    check $out.tif $out.bmp
  done
done

[ $checked -ge 100 ] || fail "only $checked files were checked"
[ $failures -eq 0 ] || { echo "$failures failure(s) in $checked files"; exit 1; }
echo "$checked TIFF files read by libtiff without a warning"
