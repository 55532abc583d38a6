#!/usr/bin/env bash
# gsprobe ani and ani-strip held against Debian's gdk-pixbuf ANI loader (through python3
# ctypes) and icotool, over animated cursors built here around `icotool -c` cursors and
# icons (Debian ships none): steps, rates and pixels step by step, hot spots, texts;
# malformed files fail with "Stream read error" in good time. Then the icon-list stream:
# empty entries, and icotool icons packed, unpacked and copied.
set -u
probe=$1 work=$2
source "$(dirname "$0")/../support/cpu_bound.sh"
for tool in /usr/bin/convert /usr/bin/icotool /usr/bin/python3; do
  [ -x $tool ] || { echo "skip: $tool missing"; exit 77; }
done
pixbuf=$(ls /usr/lib/*/libgdk_pixbuf-2.0.so.0 2>/dev/null | head -1)
[ -n "$pixbuf" ] || { echo "skip: libgdk-pixbuf-2.0-0 missing"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# mkani.py OUT [key=value...]: icons=a.cur,b.cur rates=6,9 seq=0,1,0 flags=3 steps=N
# frames=N title=T artist=A; raw chunk tweaks: badlist=1 (LIST of 2 bytes), pastlist=1.
cat >mkani.py <<'EOF'
import struct, sys
out, opts = sys.argv[1], dict(a.split('=', 1) for a in sys.argv[2:])
icons = [open(p, 'rb').read() for p in opts['icons'].split(',')]
def chunk(cid, data):
    return cid + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')
seq = [int(v) for v in opts['seq'].split(',')] if 'seq' in opts else None
rates = [int(v) for v in opts['rates'].split(',')] if 'rates' in opts else None
steps = int(opts.get('steps', len(seq) if seq else len(icons)))
frames = int(opts.get('frames', len(icons)))
flags = int(opts.get('flags', 1 | (2 if seq else 0)))
body = chunk(b'anih', struct.pack('<9I', 36, frames, steps, 32, 32, 0, 1, int(opts.get('rate', 10)), flags))
if 'title' in opts:
    info = b'INFO' + chunk(b'INAM', opts['title'].encode() + b'\0junk') + chunk(b'IART', opts['artist'].encode() + b'\0')
    body += chunk(b'LIST', info)
if rates: body += chunk(b'rate', struct.pack('<%dI' % len(rates), *rates))
if seq: body += chunk(b'seq ', struct.pack('<%dI' % len(seq), *seq))
fram = b'fram' + b''.join(chunk(b'icon', i) for i in icons)
if 'pastlist' in opts:
    fram += b'icon' + struct.pack('<I', 1000)
body += chunk(b'LIST', fram)
if 'badlist' in opts: body += b'LIST' + struct.pack('<I', 2) + b'fr'
open(out, 'wb').write(b'RIFF' + struct.pack('<I', 4 + len(body)) + b'ACON' + body)
EOF

# gdk.py FILE BACK: per step "step DELAYMS W H" and the step's pixels over BACK as rgb bytes.
cat >gdk.py <<'EOF'
import ctypes, sys
lib = ctypes.CDLL(sys.argv[3])
lib.gdk_pixbuf_animation_new_from_file.restype = ctypes.c_void_p
lib.gdk_pixbuf_animation_get_iter.restype = ctypes.c_void_p
lib.gdk_pixbuf_animation_iter_get_pixbuf.restype = ctypes.c_void_p
lib.gdk_pixbuf_get_pixels.restype = ctypes.POINTER(ctypes.c_ubyte)
for f in ('get_iter', 'iter_get_pixbuf', 'iter_get_delay_time', 'iter_advance'):
    getattr(lib, 'gdk_pixbuf_animation_' + f).argtypes = [ctypes.c_void_p, ctypes.c_void_p][:2 if f in ('get_iter', 'iter_advance') else 1]
for f in ('get_pixels', 'get_width', 'get_height', 'get_rowstride', 'get_n_channels'):
    getattr(lib, 'gdk_pixbuf_' + f).argtypes = [ctypes.c_void_p]
class TimeVal(ctypes.Structure):
    _fields_ = [('sec', ctypes.c_long), ('usec', ctypes.c_long)]
anim = lib.gdk_pixbuf_animation_new_from_file(sys.argv[1].encode(), None)
if not anim: sys.exit('gdk-pixbuf refuses ' + sys.argv[1])
back = bytes.fromhex(sys.argv[2])
now = TimeVal(1000, 0)
it = lib.gdk_pixbuf_animation_get_iter(anim, ctypes.byref(now))
steps = int(sys.argv[4])
raw = open(sys.argv[5], 'wb')
for s in range(steps):
    pb = lib.gdk_pixbuf_animation_iter_get_pixbuf(it)
    w, h = lib.gdk_pixbuf_get_width(pb), lib.gdk_pixbuf_get_height(pb)
    stride, n = lib.gdk_pixbuf_get_rowstride(pb), lib.gdk_pixbuf_get_n_channels(pb)
    px = lib.gdk_pixbuf_get_pixels(pb)
    delay = lib.gdk_pixbuf_animation_iter_get_delay_time(it)
    print('step %d %d %d' % (delay, w, h))
    for y in range(h):
        for x in range(w):
            p = [px[y * stride + x * n + k] for k in range(n)]
            raw.write(bytes(p[:3]) if n == 3 or p[3] == 255 else back if p[3] == 0 else b'???')
    now.usec += delay * 1000
    now.sec += now.usec // 1000000
    now.usec %= 1000000
    lib.gdk_pixbuf_animation_iter_advance(it, ctypes.byref(now))
EOF

# Cursors and icons with binary transparency, of differing sizes and depths.
for spec in "a 32 red 3 5" "b 32 blue 30 1" "c 32 lime 0 31"; do
  set -- $spec
  /usr/bin/convert -size ${2}x$2 xc:none +antialias -fill $3 -draw "circle 15,15 15,3" -fill black -draw "point $4,$5" $1.png
  icotool -c --cursor -b 32 -X $4 -Y $5 -o $1.cur $1.png || fail "icotool cursor $1"
done
/usr/bin/convert -size 32x32 xc:none +antialias -fill yellow -draw "rectangle 4,4 27,20" i1.png
/usr/bin/convert -size 32x32 plasma:fractal -colors 12 -alpha set -channel A -fx "i<16?1:0" +channel i2.png
icotool -c -b 8 -o i1.ico i1.png && icotool -c -o i2.ico i2.png || fail "icotool icons"

strip_pixels() {  # BMP -> rgb bytes of the frame cells, one after another
  python3 -c "
import subprocess, sys
w, h, n = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rgb = subprocess.run(['/usr/bin/convert', sys.argv[1], '-depth', '8', 'rgb:-'], capture_output=True, check=True).stdout
for i in range(n):
    for y in range(h):
        sys.stdout.buffer.write(rgb[(y * w * n + i * w) * 3:(y * w * n + (i + 1) * w) * 3])" "$@"
}

check_against_gdk() {  # NAME STEPS: ani's steps and strip equal gdk-pixbuf's, step by step
  local name=$1 steps=$2
  "$probe" ani $name.ani >$name.got || { fail "ani $name"; return; }
  python3 gdk.py $name.ani 808080 "$pixbuf" $steps $name.gdk.rgb >$name.gdk || { fail "gdk $name"; return; }
  awk '/^frame/ {print "step", int($3 * 1000 / 60), $7, $8}' $name.got | diff - $name.gdk >/dev/null ||
    fail "$name: steps differ from gdk-pixbuf: $(awk '/^frame/' $name.got | head -3) / $(head -3 $name.gdk)"
  "$probe" ani-strip --back 808080 $name.ani $name.bmp || { fail "ani-strip $name"; return; }
  strip_pixels $name.bmp 32 32 $steps | cmp -s - $name.gdk.rgb || fail "$name: strip pixels differ from gdk-pixbuf"
}

python3 mkani.py plain.ani icons=a.cur,b.cur,c.cur rate=7 title=Spin artist=Me
check_against_gdk plain 3
grep -q "^title Spin$" plain.got && grep -q "^creator Me$" plain.got || fail "texts: $(grep -E 'title|creator' plain.got)"
for k in a b c; do
  want=$(icotool -l $k.cur | sed -E 's/.*--hotspot-x=([0-9]+) --hotspot-y=([0-9]+).*/\1 \2/')
  grep "^frame" plain.got | awk '{print $4, $5}' | grep -qx "$want" || fail "hot spot of $k.cur: want $want"
done
python3 mkani.py seq.ani icons=a.cur,i1.ico,i2.ico seq=2,0,1,0,2 rates=5,9,13,3,4
check_against_gdk seq 5
grep '^frame' seq.got | awk '{print $2, $3, $6}' | tr '\n' ' ' | grep -qx "2 5 icon 0 9 cursor 1 13 icon 0 3 cursor 2 4 icon " ||
  fail "sequence and rates: $(grep '^frame' seq.got | tr '\n' ' ')"
# A short "rate" chunk: the steps it lacks keep the header's rate.
python3 mkani.py short.ani icons=a.cur,i1.ico seq=1,0,1 rates=5 rate=8
"$probe" ani short.ani | grep '^frame' | awk '{print $2, $3}' | tr '\n' ' ' | grep -qx "1 5 0 8 1 8 " || fail "short rate chunk"
"$probe" ani-strip --vertical --reduce seq.ani seq_v.bmp && [ "$(/usr/bin/convert seq_v.bmp -format '%w %h' info:)" = "32 160" ] ||
  fail "vertical reduced strip"

refused() {  # NAME ARGS...: the cursor is refused with "Stream read error" within 5 s of processor time
  local name=$1; shift
  python3 mkani.py $name.ani "$@"
  cpu_bound 5 "$probe" ani $name.ani >/dev/null 2>$name.err && { fail "$name accepted"; return; }
  grep -q "Stream read error" $name.err || fail "$name: $(cat $name.err)"
}
refused noiconflag icons=a.cur flags=2
# A file that ends inside its "fram" list keeps the images before the cut, as gdk-pixbuf
# shows them (its later steps repeat the last whole image): cut at the third image's header,
# inside it, inside its data. A list too short for its type ends the reading likewise; so
# does an image past the end of its list (which gdk-pixbuf refuses).
last=$(( $(stat -c%s plain.ani) - $(stat -c%s c.cur) - 8 ))
for k in 0 5 100; do head -c $((last + k)) plain.ani >cut$k.ani; check_against_gdk cut$k 2; done
python3 mkani.py shortlist.ani icons=a.cur,b.cur badlist=1
check_against_gdk shortlist 2
python3 mkani.py pastlist.ani icons=a.cur,b.cur pastlist=1
[ "$("$probe" ani pastlist.ani | grep -c '^frame')" = 2 ] || fail "pastlist: the two images before the cut"
# Counts no file could back are read within bounds: the one image gives the one step.
for n in steps frames; do
  python3 mkani.py many$n.ani icons=a.cur $n=4294967295
  [ "$(cpu_bound 5 "$probe" ani many$n.ani | grep -c '^frame')" = 1 ] || fail "many$n"
done
refused nosteps icons=a.cur steps=0
head -c 7 plain.ani >cut.ani
cpu_bound 5 "$probe" ani cut.ani 2>/dev/null && fail "cut.ani accepted"

# Icon lists.
python3 -c "import struct, sys; sys.stdout.buffer.write(struct.pack('<3I', 2, 0, 0))" >empty2.lst
"$probe" iconlist-copy empty2.lst empty2.copy && cmp -s empty2.lst empty2.copy || fail "two empty entries"
"$probe" iconlist-pack packed.lst i1.ico - i2.ico a.cur 2>/dev/null && fail "a cursor packed as an icon"
"$probe" iconlist-pack packed.lst i1.ico - i2.ico || fail "iconlist-pack"
"$probe" iconlist-unpack packed.lst out >/dev/null || fail "iconlist-unpack"
[ "$(ls out)" = "$(printf '1.ico\n3.ico')" ] || fail "unpacked entries: $(ls out)"
for pair in "i1 1" "i2 3"; do
  set -- $pair
  [ "$(icotool -l $1.ico)" = "$(icotool -l out/$2.ico)" ] || fail "entry $2 lists otherwise than $1.ico"
done
"$probe" iconlist-copy packed.lst copy.lst && cmp -s packed.lst copy.lst || fail "copy differs"
python3 -c "import struct, sys; sys.stdout.buffer.write(struct.pack('<2I', 1, 5000) + b'x' * 10)" >pastend.lst
"$probe" iconlist-copy pastend.lst x.lst 2>pe.err && fail "entry past the end accepted"
grep -q "Stream read error" pe.err || fail "entry past the end: $(cat pe.err)"
python3 -c "import struct, sys; sys.stdout.buffer.write(struct.pack('<I', 4000000000))" >count.lst
"$probe" iconlist-copy count.lst x.lst 2>/dev/null && fail "huge count accepted"

[ $failures = 0 ] && echo "ani_cursor: all checks passed"
exit $((failures > 0))
