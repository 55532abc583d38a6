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
for tool in /usr/bin/mogrify /usr/bin/tiffinfo /usr/bin/tiffdump /usr/bin/file /usr/bin/python3; do
  [ -x "$tool" ] || { echo "skipped: $tool is missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0 checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pairs=()  # "TIFF SOURCE" whose pixels are compared at the end, in two ImageMagick runs

# check TIFF SOURCE: libtiff reads it silently, ImageMagick sees SOURCE's pixels. A few
# processes a file: a process per condition made the sweep cost minutes on a loaded machine.
check() {
  local tif=$1 src=$2
  checked=$((checked + 1))
  tiffinfo "$tif" >info.out 2>info.err || { fail "tiffinfo refuses $tif: $(cat info.err)"; return; }
  tiffdump "$tif" >dump.out 2>&1 || { fail "tiffdump refuses $tif"; return; }
  # "Software (305) ASCII (2) 11<Tavorn lab\0>": the count holds the NUL, which tiffdump shows.
  local why
  why=$(awk -v tif="$tif" '
    FILENAME == ARGV[1] { warned = warned $0 " "; next }
    FILENAME == ARGV[2] { if ($0 ~ /Software: Tavorn lab$/) software = 1; next }
    /^[A-Za-z]+ \([0-9]+\) ASCII/ && $0 !~ /\\0>$/ { print tif ": an ASCII value without its NUL: " $0 }
    index($0, "Software (305) ASCII (2) 11<Tavorn lab\\0>") { dumped = 1 }
    /^Directory 0: offset [0-9]+/ { ifd = $4 }
    END {
      if (warned != "") print "tiffinfo warns about " tif ": " warned
      if (!software) print tif ": no Software text in tiffinfo"
      if (!dumped) print tif ": tiffdump shows no Software value of 11 bytes"
      if (ifd == "" || ifd % 2) print tif ": directory at offset \047" ifd "\047, not on a word boundary"
    }' info.err info.out dump.out)
  [ -z "$why" ] || fail "$why"
  pairs+=("$tif $src")
}

# Both sides of every pair as 8-bit RGB, one ImageMagick run a side, then compared.
compare_pixels() {
  mkdir -p px/tif px/src
  local p tifs=() srcs=()
  for p in "${pairs[@]}"; do tifs+=("${p% *}"); srcs+=("${p#* }"); done
  /usr/bin/mogrify -path px/tif -format rgb -depth 8 "${tifs[@]}" 2>/dev/null
  /usr/bin/mogrify -path px/src -format rgb -depth 8 "${srcs[@]}" 2>/dev/null
  for p in "${pairs[@]}"; do
    local t=${p% *} s=${p#* }
    t=px/tif/${t%.*}.rgb s=px/src/${s%.*}.rgb
    [ -s "$t" ] && [ -s "$s" ] && cmp -s "$t" "$s" || fail "${p% *} has other pixels than ${p#* }"
  done
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

compare_pixels
[ $checked -ge 100 ] || fail "only $checked files were checked"
[ $failures -eq 0 ] || { echo "$failures failure(s) in $checked files"; exit 1; }
echo "$checked TIFF files read by libtiff without a warning"
