#!/usr/bin/env bash
# The splash-picture GIF graphic (gsprobe rxgif, rxgif-write) held against gifsicle,
# giftext, giftopnm and ImageMagick, and the graphics routines (gsprobe dib) against their
# formulas computed over ImageMagick's pixels.
set -u
probe=$1 work=$2
for tool in /usr/bin/convert /usr/bin/giftopnm /usr/bin/giftext /usr/bin/gifsicle /usr/bin/python3; do
  [ -x $tool ] || { echo "skip: $tool missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rgb() { /usr/bin/convert "$1" -depth 8 rgb:-; }
decodes() {  # FILE: giftopnm reads every image of it without a word
  giftopnm -image=all "$1" >/dev/null 2>"$1.err" || { fail "giftopnm refuses $1: $(cat "$1.err")"; return 1; }
  [ -s "$1.err" ] && { fail "giftopnm complains about $1: $(cat "$1.err")"; return 1; }
  return 0
}

# gifsicle's account in rxgif's words: frames, offsets, delays, disposal, loop, transparency.
cat >expect.py <<'EOF'
import re, subprocess, sys
info = subprocess.run(['gifsicle', '-I', sys.argv[1]], capture_output=True, text=True, check=True).stdout
screen = re.search(r'logical screen (\d+)x(\d+)', info)
loop = re.search(r'loop (forever|count (\d+))', info)
frames = re.split(r'\n  \+ image #\d+ ', info)[1:]
print('image %s %s %d %d %d' % (screen.group(1), screen.group(2), len(frames), 1 if loop else 0,
                                int(loop.group(2) or 0) if loop else 1))
names = {'none': 0, 'asis': 1, 'background': 2, 'previous': 3}
for f in frames:
    size = re.match(r'(\d+)x(\d+)( at (\d+),(\d+))?', f)
    disp = re.search(r'disposal (\w+)', f)
    delay = re.search(r'delay ([\d.]+)s', f)
    print('frame %s %s %s %s %d %d %d %s' % (size.group(4) or 0, size.group(5) or 0, size.group(1), size.group(2),
          'interlaced' in f, round(float(delay.group(1)) * 1000) if delay else 0,
          names[disp.group(1)] if disp else 0, 'transparent' in f))
EOF

. "$(dirname "${BASH_SOURCE[0]}")/gif_corpus.sh"
make_gif_corpus
/usr/bin/convert -seed 4 -size 300x200 plasma:fractal +dither -colors 256 im_big.gif
for f in im_*.gif gs_*.gif; do
  "$probe" rxgif $f >$f.got 2>$f.err || { fail "rxgif $f: $(cat $f.err)"; continue; }
  python3 expect.py $f >$f.want || { fail "gifsicle on $f"; continue; }
  diff <(sed -E 's/^image [0-9a-z]* /image /; s/ (none|[0-9a-f]{6}) ([01])$/ \1/; s/ none$/ False/; s/ [0-9a-f]{6}$/ True/' $f.got) \
    $f.want >/dev/null || fail "$f: differs from gifsicle: $(diff $f.got $f.want | head -4)"
  grep -q '^frame.* 1$' $f.got && fail "$f: a frame marked corrupted"
  n=$(grep -c '^frame' $f.got)
  for ((k = 0; k < n; k++)); do
    "$probe" rxgif --frame $k $f $f.$k.bmp >/dev/null || { fail "rxgif frame $k of $f"; continue; }
    cmp -s <(rgb $f.$k.bmp) <(rgb "$f[$k]") || fail "$f frame $k: colours differ from ImageMagick's"
  done
done

# The splash picture: 500 x 400 behind its byte count; a count past the end.
/usr/bin/convert -seed 9 -size 500x400 plasma:fractal +dither -colors 200 splash.gif
python3 -c "
import struct, sys
d = open('splash.gif', 'rb').read()
open('splash.bin', 'wb').write(struct.pack('<I', len(d)) + d)
open('pastend.bin', 'wb').write(struct.pack('<I', 0xFFFFFFF0) + d)"
"$probe" rxgif --count splash.bin | head -1 | grep -qx "image 89a 500 400 1 0 1\|image 87a 500 400 1 0 1" || fail "splash picture"
python3 -c "
import resource, subprocess, sys
r = subprocess.run([sys.argv[1], 'rxgif', '--count', 'pastend.bin'], capture_output=True, text=True)
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024
sys.exit(0 if r.returncode != 0 and 'Stream read error' in r.stderr and peak < 100 else 'count past the end: %d MB, %s' % (peak, r.stderr))
" "$probe" || fail "count past the end"

# rxgif-write: indexed BMPs keep their colours; one frame is 87a with a global table, two
# are 89a with a local table, loop and delays; true colour goes through the 8-bit mapping.
/usr/bin/convert -seed 2 -size 41x23 plasma:fractal BMP3:true.bmp
/usr/bin/convert true.bmp -colors 2 -type Palette -compress None BMP3:b1.bmp
/usr/bin/convert true.bmp -colors 14 -type Palette -compress None BMP3:b4.bmp
/usr/bin/convert true.bmp -colors 100 -type Palette -compress None BMP3:b8.bmp
for b in b1 b4 b8; do
  "$probe" rxgif-write $b.gif $b.bmp && decodes $b.gif || { fail "rxgif-write $b"; continue; }
  cmp -s <(rgb $b.gif) <(rgb $b.bmp) || fail "$b: colours changed"
  [ "$(head -c 6 $b.gif)" = GIF87a ] || fail "$b: one frame is not 87a"
  giftext $b.gif | grep -q "Has Global Color Map" || fail "$b: no global table"
done
"$probe" rxgif-write --loop 3 --delay 250 two.gif b4.bmp b8.bmp && decodes two.gif || fail "rxgif-write two frames"
[ "$(head -c 6 two.gif)" = GIF89a ] || fail "two frames are not 89a"
gifsicle -I two.gif | grep -q "loop count 3" || fail "no loop count: $(gifsicle -I two.gif)"
[ "$(gifsicle -I two.gif | grep -c 'delay 0.25s')" = 2 ] || fail "delays"
gifsicle -I two.gif | grep -q "local color table" || fail "second frame has no local table"
cmp -s <(rgb 'two.gif[1]') <(rgb b8.bmp) || fail "second frame's colours"
"$probe" rxgif-write true.gif true.bmp && decodes true.gif || fail "rxgif-write true colour"
"$probe" dib --format 8 --mapping 0 true.bmp true8.bmp || fail "dib of true.bmp"
cmp -s <(rgb true.gif) <(rgb true8.bmp) || fail "true colour differs from dib --format 8 --mapping 0"
"$probe" rxgif-write --mapping 2 trunc.gif true.bmp && decodes trunc.gif || fail "rxgif-write --mapping 2"
gifsicle -I trunc.gif | grep -q "global color table \[256\]" || fail "mapping 2: $(gifsicle -I trunc.gif | grep table)"

# dib: each mapping and depth per pixel as its formula says.
cat >formula.py <<'EOF'
import subprocess, sys
src, out, fmt, mapping = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
w, h = map(int, subprocess.run(['/usr/bin/convert', src, '-format', '%w %h', 'info:'], capture_output=True, text=True).stdout.split())
px = subprocess.run(['/usr/bin/convert', src, '-depth', '8', 'rgb:-'], capture_output=True).stdout
got = subprocess.run(['/usr/bin/convert', out, '-depth', '8', 'rgb:-'], capture_output=True).stdout
bits = int.from_bytes(open(out, 'rb').read()[28:30], 'little')
if bits != fmt: sys.exit('depth %d, not %d' % (bits, fmt))
def nearest(levels, v): return min(levels, key=lambda l: (abs(l - v), levels.index(l)))
vga = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),(128,128,128),
       (255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
def closest(table, c): return min(table, key=lambda t: (sum((a - b) ** 2 for a, b in zip(t, c)), table.index(t)))
for i in range(w * h):
    c = tuple(px[3 * i:3 * i + 3]); x, y = i % w, i // w
    if fmt == 1: want = closest([(0, 0, 0), (255, 255, 255)], c)
    elif fmt == 4: want = closest(vga, c)
    elif mapping == 2: want = (nearest([0, 43, 85, 128, 170, 213, 255], c[0]), nearest([0, 36, 73, 109, 146, 182, 219, 255], c[1]), nearest([0, 85, 170, 255], c[2]))
    elif mapping == 3: want = tuple(nearest([0, 51, 102, 153, 204, 255], v) for v in c)
    elif mapping == 4:
        k = (x + h - 1 - y) % 3; v = 4 * (c[k] >> 2); want = tuple(v if j == k else 0 for j in range(3))
    elif mapping == 5: g = (77 * c[0] + 150 * c[1] + 29 * c[2]) >> 8; want = (g, g, g)
    else: want = c
    if tuple(got[3 * i:3 * i + 3]) != want: sys.exit('pixel %d,%d: %s, formula %s' % (x, y, tuple(got[3 * i:3 * i + 3]), want))
EOF
for case in "1 0" "4 0" "8 2" "8 3" "8 4" "8 5" "24 0"; do
  set -- $case
  "$probe" dib --format $1 --mapping $2 true.bmp d$1_$2.bmp || { fail "dib $case"; continue; }
  python3 formula.py true.bmp d$1_$2.bmp $1 $2 || fail "dib $case"
done
/usr/bin/convert b8.bmp -type TrueColor BMP3:b8true.bmp
"$probe" dib --format 8 --mapping 0 b8true.bmp lossless.bmp || fail "dib of 100 colours"
cmp -s <(rgb lossless.bmp) <(rgb b8.bmp) || fail "100 colours not kept by the histogram"
"$probe" dib --format 32 true.bmp x.bmp 2>nyi.err && fail "32-bit accepted"
grep -q "Function not yet implemented" nyi.err || fail "32 bits: $(cat nyi.err)"

[ $failures = 0 ] && echo "rxgif: all checks passed"
exit $((failures > 0))
