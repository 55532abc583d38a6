#!/usr/bin/env bash
# gsprobe export-bmp against independent tools: libjpeg's cjpeg (same bytes), libtiff and
# ImageMagick (same pixels), libwmf (the metafile's embedded picture) and file(1). The
# unit tests hold the encoders against the same tools for pictures a BMP cannot bring.
set -u
probe=$1
work=$2
IM=/usr/bin/convert
for tool in $IM /usr/bin/cjpeg /usr/bin/tiffinfo /usr/bin/wmf2svg /usr/bin/file /usr/bin/giftopnm; do
  [ -x "$tool" ] || { echo "skipped: $tool is missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pixels() { $IM "$1" -depth 8 rgb:- | md5sum; }

# One sample BMP per depth, odd sizes so that rows are padded.
$IM -size 37x23 gradient:red-blue -type truecolor BMP3:in24.bmp || exit 1
$IM -size 37x23 gradient:red-blue -alpha set -define bmp3:alpha=true BMP3:in32.bmp || exit 1
$IM -size 37x23 gradient:red-blue -colors 200 -type palette -compress none BMP3:in8.bmp || exit 1
$IM -size 37x23 gradient:red-blue -colors 12 -type palette -compress none BMP3:in4.bmp || exit 1
$IM -size 37x23 pattern:checkerboard -type bilevel BMP3:in1.bmp || exit 1

for depth in 1 4 8 24 32; do
  in=in$depth.bmp
  case "$(file -b "$in")" in *" x $depth,"*) ;; *) fail "$in is not $depth bits: $(file -b "$in")"; continue ;; esac

  "$probe" export-bmp tif "$in" out$depth.tif || fail "tif export of $in"
  tiffinfo out$depth.tif >/dev/null 2>tiffinfo.err || fail "tiffinfo refuses out$depth.tif"
  [ -s tiffinfo.err ] && fail "tiffinfo complains about out$depth.tif: $(cat tiffinfo.err)"
  [ "$(pixels out$depth.tif)" = "$(pixels "$in")" ] || fail "out$depth.tif has other pixels than $in"

  "$probe" export-bmp wmf "$in" out$depth.wmf || fail "wmf export of $in"
  case "$(file -b out$depth.wmf)" in "Windows metafile"*) ;; *) fail "file: $(file -b out$depth.wmf)" ;; esac
  wmf2svg -o out$depth.svg out$depth.wmf 2>wmf2svg.err || fail "wmf2svg refuses out$depth.wmf"
  [ -s wmf2svg.err ] && fail "wmf2svg complains: $(cat wmf2svg.err)"
  [ "$(pixels out$depth-1.png)" = "$(pixels "$in")" ] || fail "picture in out$depth.wmf differs from $in"

  "$probe" export-bmp emf "$in" out$depth.emf || fail "emf export of $in"
  case "$(file -b out$depth.emf)" in "Windows Enhanced Metafile"*) ;; *) fail "file: $(file -b out$depth.emf)" ;; esac
done

# JPEG: the same bytes as libjpeg's own compressor given the same BMP.
for depth in 8 24 32; do
  "$probe" export-bmp jpg in$depth.bmp out$depth.jpg || fail "jpg export of in$depth.bmp"
  cjpeg -quality 90 -dct float -baseline in$depth.bmp | cmp -s - out$depth.jpg || fail "out$depth.jpg differs from cjpeg"
done

# A transparent bitmap is drawn masked: a mask, then the colours.
"$probe" export-bmp wmf in24.bmp masked.wmf --transparent || fail "transparent wmf export"
wmf2svg -o masked.svg masked.wmf || fail "wmf2svg refuses masked.wmf"
[ "$(grep -c '<image' masked.svg)" = 2 ] || fail "masked.wmf does not hold a mask and a picture"

# A failed export keeps the file it would have replaced and leaves nothing behind.
# Written byte by byte: ImageMagick's stock resource policy refuses a picture this wide.
le32() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))\\$(printf %03o $(($1 >> 16 & 255)))\\$(printf %03o $(($1 >> 24 & 255)))"; }
{ printf 'BM'; le32 $((54 + 120000)); le32 0; le32 54
  le32 40; le32 40000; le32 1; printf '\001\000\030\000'; le32 0; le32 120000
  le32 2835; le32 2835; le32 0; le32 0; head -c 120000 /dev/zero | tr '\0' '\377'; } >wide.bmp
[ "$(wc -c <wide.bmp)" = 120054 ] || { echo "FAIL: wide.bmp could not be made"; exit 1; }
case "$(file -b wide.bmp)" in *"40000 x 1 x 24"*) ;; *) echo "FAIL: wide.bmp is $(file -b wide.bmp)"; exit 1 ;; esac
cp out24.wmf kept.wmf
wideErr=$(mktemp); trap 'rm -f "$wideErr"' EXIT
ls -A >before.list
"$probe" export-bmp wmf wide.bmp kept.wmf 2>"$wideErr" && fail "a 40000-pixel-wide WMF was written"
grep -q "too large for a Windows metafile" "$wideErr" || fail "the wide WMF failed for another reason: $(cat "$wideErr")"
cmp -s out24.wmf kept.wmf || fail "kept.wmf was changed by a failed export"
ls -A | diff before.list - >/dev/null || fail "a failed export left files: $(ls -A | diff before.list -)"

# GIF goes through the GIF codec; indexed pictures keep their colours.
for depth in 1 4 8 24; do
  "$probe" export-bmp gif in$depth.bmp out$depth.gif || fail "gif export of in$depth.bmp"
  giftopnm out$depth.gif >/dev/null 2>giftopnm.err || fail "giftopnm refuses out$depth.gif"
  [ -s giftopnm.err ] && fail "giftopnm complains: $(cat giftopnm.err)"
  [ $depth = 24 ] || [ "$(pixels out$depth.gif)" = "$(pixels in$depth.bmp)" ] || fail "out$depth.gif has other colours"
done

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all export files accepted"
