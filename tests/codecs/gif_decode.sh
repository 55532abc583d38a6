#!/usr/bin/env bash
# gsprobe gif-decode and gif-resave held against giflib's giftext, gifsicle, giftopnm and
# ImageMagick: over GIFs from our writer, ImageMagick, gifsicle and made here, the reader's
# screen, frames, control blocks and pixel indices equal giftext's, its loop counts equal
# gifsicle's; written back, the files read the same, decode silently, and keep an unknown
# application extension byte for byte.
set -u
probe=$1 work=$2
for tool in /usr/bin/convert /usr/bin/giftopnm /usr/bin/giftext /usr/bin/gifsicle /usr/bin/python3; do
  [ -x $tool ] || { echo "skip: $tool missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# giftext's account of a file in gif-decode's words; its -r dump is in stored row order,
# so interlaced frames are put back in display order.
cat >expect.py <<'EOF'
import re, subprocess, sys
path = sys.argv[1]
text = subprocess.run(['giftext', path], capture_output=True, text=True, check=True).stdout
raw = subprocess.run(['giftext', '-r', path], capture_output=True, check=True).stdout
info = subprocess.run(['gifsicle', '-I', path], capture_output=True, text=True, check=True).stdout
m = re.search(r'Width = (\d+), Height = (\d+)\.\s+ColorResolution = \d+, BitsPerPixel = (\d+), BackGround = (\d+)', text)
glob = 1 << int(m.group(3)) if 'Has Global Color Map' in text.split('Image #')[0] else 0
out = ['screen %s %s %d %s' % (m.group(1), m.group(2), glob, m.group(4))]
loops = re.search(r'loop (forever|count (\d+))', info)
pixels, at = b'', 0
parts = re.split(r'(\nImage #\d+:)', text)
pending = parts[0]
for k in range(1, len(parts), 2):
    body = parts[k + 1]
    ctl = re.findall(r'Disposal Mode: (\d+).*?Transparency on: (yes|no)\s+DelayTime: (\d+)\s+Transparent Index: (-?\d+)',
                     pending, re.S)
    if k == 1 and loops:
        out.append('loop %s' % (loops.group(2) or '0'))
    d = re.search(r'Left = (\d+), Top = (\d+), Width = (\d+), Height = (\d+)\.\s+Image is (Non )?Interlaced(, BitsPerPixel = (\d+))?', body)
    w, h = int(d.group(3)), int(d.group(4))
    local = 1 << int(d.group(7)) if d.group(7) and 'Image Has Color Map' in body else 0
    if ctl:
        disp, on, delay, idx = ctl[0]
        trans = idx if on == 'yes' else '-1'
        out.append('frame %s %s %d %d %d %d %s %s %s' % (d.group(1), d.group(2), w, h, d.group(5) is None, local, trans, delay, disp))
    else:
        out.append('frame %s %s %d %d %d %d -1 0 0' % (d.group(1), d.group(2), w, h, d.group(5) is None, local))
    rows = [raw[at + y * w: at + (y + 1) * w] for y in range(h)]
    at += w * h
    if d.group(5) is None:
        order = [r for s, st in ((0, 8), (4, 8), (2, 4), (1, 2)) for r in range(s, h, st)]
        shown = [None] * h
        for n, r in enumerate(order):
            shown[r] = rows[n]
        rows = shown
    pixels += b''.join(rows)
    pending = body
print('\n'.join(out))
open(sys.argv[2], 'wb').write(pixels)
EOF

# Adds an application extension of an unknown identifier in front of the first frame.
cat >addext.py <<'EOF'
import sys
b = bytearray(open(sys.argv[1], 'rb').read())
at = 13 + (3 << ((b[10] & 7) + 1) if b[10] & 0x80 else 0)
ext = bytes([0x21, 0xFF, 11]) + b'GLYPHSCP1.0' + bytes([4, 1, 2, 3, 4, 2, 9, 9, 0])
open(sys.argv[2], 'wb').write(bytes(b[:at]) + ext + bytes(b[at:]))
EOF

# Test pictures.
. "$(dirname "${BASH_SOURCE[0]}")/gif_corpus.sh"
make_gif_corpus
/usr/bin/convert -seed 3 -size 97x61 plasma:fractal BMP3:true.bmp
for spec in "1 1 2" "2 3 3" "17 9 16" "300 200 256" "300 1 200" "1 200 5" "64 64 129"; do
  set -- $spec
  /usr/bin/convert -seed $1 -size ${1}x$2 plasma:fractal +dither -colors $3 -type Palette -compress None BMP3:p_$1x$2.bmp
  "$probe" gif-encode p_$1x$2.bmp our_$1x$2.gif || fail "encode $spec"
done
"$probe" gif-encode --rle --interlace p_300x200.bmp our_rle.gif || fail "encode rle"
"$probe" gif-encode --transparent true.bmp our_transparent.gif || fail "encode transparent"
"$probe" gif-encode --reduction 4 --dither 2 true.bmp our_dither.gif || fail "encode dither"
"$probe" gif-encode --reduction 7 --bits 3 true.bmp our_octree.gif || fail "encode octree"
"$probe" gif-encode --interlace p_17x9.bmp our_interlaced.gif || fail "encode interlaced"
python3 addext.py our_17x9.gif made_unknown.gif
# 300x200 random colours: the LZW table fills and is reset.
python3 -c "
import random; random.seed(5)
import sys; sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(300*200*3)))" >noise.rgb
/usr/bin/convert -size 300x200 -depth 8 rgb:noise.rgb +dither -colors 256 made_reset.gif

checked=0
for f in im_*.gif gs_*.gif our_*.gif made_*.gif; do
  python3 expect.py $f $f.want.raw >$f.want 2>$f.pyerr || { fail "giftext on $f: $(cat $f.pyerr)"; continue; }
  "$probe" gif-decode $f $f.raw >$f.got 2>$f.warn || { fail "gif-decode $f: $(cat $f.warn)"; continue; }
  [ -s $f.warn ] && fail "$f: warnings $(cat $f.warn)"
  diff $f.want $f.got >/dev/null || fail "$f: fields differ: $(diff $f.want $f.got | head -5)"
  cmp -s $f.want.raw $f.raw || fail "$f: pixel indices differ from giftext -r"
  "$probe" gif-resave $f re_$f 2>$f.rewarn || { fail "gif-resave $f: $(cat $f.rewarn)"; continue; }
  "$probe" gif-decode re_$f re_$f.raw >re_$f.got 2>/dev/null || fail "decode of resaved $f"
  cmp -s $f.raw re_$f.raw || fail "$f: resaved pixels differ"
  diff <(grep -v '^screen' $f.got) <(grep -v '^screen' re_$f.got) >/dev/null || fail "$f: resaved frames differ"
  giftopnm -image=all re_$f >/dev/null 2>re_$f.err || fail "giftopnm refuses re_$f"
  [ -s re_$f.err ] && fail "giftopnm complains about re_$f: $(cat re_$f.err)"
  checked=$((checked + 1))
done
python3 -c "
import sys
ext = bytes([0x21, 0xFF, 11]) + b'GLYPHSCP1.0' + bytes([4, 1, 2, 3, 4, 2, 9, 9, 0])
sys.exit(0 if ext in open('re_made_unknown.gif', 'rb').read() else 1)" || fail "unknown extension not kept"

# Prefix, case, trailer and truncation.
{ printf 'abcd'; cat im_rose.gif; } >prefixed.bin
"$probe" gif-decode prefixed.bin prefixed.raw >prefixed.got && cmp -s prefixed.raw im_rose.gif.raw || fail "4-byte prefix"
{ printf 'abc'; cat im_rose.gif; } >prefix3.bin
"$probe" gif-decode prefix3.bin 2>p3.err && fail "3-byte prefix accepted"
grep -q "Invalid GIF signature" p3.err || fail "3-byte prefix: $(cat p3.err)"
{ printf 'gif87x'; tail -c +7 im_rose.gif; } >lower.gif
"$probe" gif-decode lower.gif lower.raw >/dev/null && cmp -s lower.raw im_rose.gif.raw || fail "lower-case signature"
head -c -1 im_rose.gif >notrailer.gif
"$probe" gif-decode notrailer.gif >/dev/null 2>nt.err && [ ! -s nt.err ] || fail "missing trailer: $(cat nt.err)"
head -c 2000 im_rose.gif >cut.gif
"$probe" gif-decode cut.gif cut.raw >/dev/null 2>cut.err || fail "truncated file refused"
grep -q "warning: Premature end of data" cut.err || fail "truncation not warned: $(cat cut.err)"
[ "$(stat -c %s cut.raw)" = $((70 * 46)) ] || fail "truncated frame not kept whole"

[ $checked -ge 21 ] || fail "only $checked files checked"
[ $failures = 0 ] && echo "gif_decode: $checked files, all checks passed"
exit $((failures > 0))
