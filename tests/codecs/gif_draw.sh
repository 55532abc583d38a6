#!/usr/bin/env bash
# GIF images shown, held against ImageMagick and gifsicle: each frame rendered with its
# mask (the pixels giftext -r shows with the transparent index), animations composed with
# each disposal as `convert -coalesce` leaves them, the painter's waits as gifsicle reads
# the delays, and optimised images that show the same frames and are never larger.
set -u
probe=$1
work=$2
IM=/usr/bin/convert
for tool in $IM /usr/bin/compare /usr/bin/identify /usr/bin/gifsicle /usr/bin/giftopnm /usr/bin/python3; do
  [ -x "$tool" ] || { echo "skipped: $tool is missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
made() { [ -s "$1" ] || { echo "FAIL: $1 could not be made"; exit 1; }; }
same() { [ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = 0 ] || fail "$3: $1 differs from $2"; }

# Material: frames of two colours over transparency, one animation per disposal, a
# gifsicle-optimised one, an interlaced one and one written by our own writer.
$IM -size 40x30 xc:none -fill red -draw 'rectangle 5,5 20,20' a.gif
$IM -size 40x30 xc:none -fill blue -draw 'circle 25,15 30,20' b.gif
$IM -size 40x30 xc:none -fill lime -draw 'rectangle 10,12 35,25' c.gif
for d in none background previous; do
  $IM -dispose $d -delay 7 a.gif -dispose $d -delay 0 b.gif -dispose none -delay 1 c.gif -loop 0 anim_$d.gif
  made anim_$d.gif
done
gifsicle -O2 anim_background.gif -o opt_O2.gif; made opt_O2.gif
$IM rose: -interlace GIF rose_i.gif; made rose_i.gif
$IM -size 33x21 gradient:yellow-navy -colors 64 plain.gif; made plain.gif
"$probe" gif-resave plain.gif ours.gif; made ours.gif

# Each frame rendered: the colours ImageMagick reads; the mask where the transparent index is.
for f in anim_none.gif opt_O2.gif rose_i.gif ours.gif; do
  frames=$(/usr/bin/identify "$f" | wc -l)
  for k in $(seq 0 $((frames - 1))); do
    "$probe" gif-render "$f" $k r$k.bmp m$k.bmp || { fail "gif-render $f $k"; continue; }
    $IM "$f[$k]" -alpha off rgb:- >want.rgb 2>/dev/null
    $IM r$k.bmp rgb:- >got.rgb
    # Transparent pixels carry whatever the table says: compare the visible ones only.
    $IM "$f[$k]" -alpha extract -negate gray:- >alpha.gray 2>/dev/null
    $IM m$k.bmp -colorspace gray gray:- >mask.gray
    if $IM "$f[$k]" -format '%A' info: 2>/dev/null | grep -qi true; then
      cmp -s alpha.gray mask.gray || fail "$f frame $k: mask differs from its transparent pixels"
    else
      [ "$(tr -d '\0' <mask.gray | wc -c)" = 0 ] || fail "$f frame $k: an opaque frame has a mask"
    fi
    python3 - want.rgb got.rgb mask.gray <<'PY' || fail "$f frame $k: colours differ"
import sys
w, g, m = (open(p, 'rb').read() for p in sys.argv[1:4])
bad = [i for i in range(len(m)) if m[i] == 0 and w[3*i:3*i+3] != g[3*i:3*i+3]]
sys.exit(1 if bad or len(w) != len(g) else 0)
PY
  done
done

# Composed as the painter leaves the canvas, on a chosen background.
for f in anim_none.gif anim_background.gif anim_previous.gif opt_O2.gif; do
  rm -rf out co; mkdir co
  "$probe" gif-compose --back 336699 "$f" out || { fail "gif-compose $f"; continue; }
  $IM "$f" -coalesce -background '#336699' -alpha remove -alpha off png24:co/%d.png
  n=$(ls co | wc -l)
  [ "$n" = "$(ls out | wc -l)" ] || fail "$f: $(ls out | wc -l) frames composed, ImageMagick has $n"
  for k in $(seq 0 $((n - 1))); do same out/$k.bmp co/$k.png "$f frame $k"; done
done

# GIFs of our own writer (a bitmap exported, opaque and with its bottom-left colour
# transparent) hold local colour tables only: composed with no background given, the canvas
# takes the window colour (white), as ImageMagick shows them over white.
$IM -size 30x20 xc:navy -fill red -draw 'rectangle 3,3 12,12' -fill yellow -draw 'circle 20,10 24,14' -type truecolor BMP3:pic.bmp
made pic.bmp
"$probe" gif-encode pic.bmp ours_opaque.gif; made ours_opaque.gif
"$probe" gif-encode --transparent pic.bmp ours_transparent.gif; made ours_transparent.gif
"$probe" export-bmp gif pic.bmp ours_export.gif --transparent; made ours_export.gif
for f in ours_opaque.gif ours_transparent.gif ours_export.gif; do
  gifsicle -I "$f" | grep -q 'global color table' && fail "$f has a global colour table: the case is not tested"
  rm -rf out co; mkdir co
  "$probe" gif-compose "$f" out 2>compose.err || { fail "gif-compose $f: $(cat compose.err)"; continue; }
  [ -s compose.err ] && fail "gif-compose $f warns: $(cat compose.err)"
  $IM "$f" -coalesce -background white -alpha remove -alpha off png24:co/%d.png
  [ "$(ls co | wc -l)" = "$(ls out | wc -l)" ] || { fail "$f: $(ls out | wc -l) frames composed"; continue; }
  for k in $(seq 0 $(($(ls co | wc -l) - 1))); do same out/$k.bmp co/$k.png "$f frame $k"; done
done
# The transparent one really shows the window colour where the navy was.
corner=$($IM out/0.bmp -format '%[hex:p{0,0}]' info:)
[ "$corner" = FFFFFF ] || fail "ours_export.gif's transparent corner shows $corner"

# The painter's waits: gifsicle's delays, 0 playing 100 ms and 1 playing 30 ms; speed 200
# halves them; a loop count of 0 plays until told.
"$probe" gif-schedule --loops 2 anim_none.gif >sched.txt
printf 'frame 0 wait 70\nframe 1 wait 100\nframe 2 wait 30\nloop\nframe 0 wait 70\nframe 1 wait 100\nframe 2 wait 30\nend\n' |
  diff - sched.txt >/dev/null || fail "schedule: $(cat sched.txt | tr '\n' ' ')"
gifsicle -I anim_none.gif | grep -o 'delay [0-9.]*s' | head -1 | grep -q 'delay 0.07s' || fail "gifsicle reads another delay"
"$probe" gif-schedule --speed 200 --loops 1 anim_none.gif | head -1 | grep -qx 'frame 0 wait 35' || fail "speed 200"
gifsicle --loopcount=2 anim_none.gif -o twice.gif
[ "$("$probe" gif-schedule --loops 9 twice.gif | grep -c '^loop')" = 1 ] || fail "a loop count of 2 plays twice"

# Optimised: the same frames as ImageMagick coalesces them, and never larger.
for f in anim_none.gif anim_background.gif anim_previous.gif opt_O2.gif ours.gif; do
  "$probe" gif-optimize --crop --merge --cleanup --sort "$f" small.gif || { fail "gif-optimize $f"; continue; }
  [ "$(stat -c %s small.gif)" -le "$(stat -c %s "$f")" ] || fail "$f grew when optimised"
  rm -rf x y; mkdir x y
  $IM "$f" -coalesce -background '#336699' -alpha remove -alpha off png24:x/%d.png
  $IM small.gif -coalesce -background '#336699' -alpha remove -alpha off png24:y/%d.png
  [ "$(ls x | wc -l)" = "$(ls y | wc -l)" ] || { fail "$f: frame count changed"; continue; }
  for k in $(seq 0 $(($(ls x | wc -l) - 1))); do same x/$k.png y/$k.png "$f optimised, frame $k"; done
  giftopnm small.gif >/dev/null 2>&1 || fail "giftopnm refuses the optimised $f"
done
# A last frame with nothing to show goes, its delay added to the frame before.
$IM -size 40x30 xc:none blank.gif
$IM -dispose none -delay 20 a.gif -delay 30 b.gif -delay 50 blank.gif -loop 0 tail.gif
"$probe" gif-optimize --crop tail.gif tail_small.gif || fail "gif-optimize tail.gif"
[ "$(gifsicle -I tail_small.gif | grep -c '+ image')" = 2 ] || fail "the empty last frame stayed"
gifsicle -I tail_small.gif | grep -o 'delay [0-9.]*s' | tail -1 | grep -q 'delay 0.80s' || fail "its delay was not added: $(gifsicle -I tail_small.gif | grep delay | tr '\n' ' ')"

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "GIF drawing matches ImageMagick and gifsicle"
