#!/usr/bin/env bash
# The real program's silent batch export over PE32 and PE32+ modules linked by the mingw
# binutils: one BASE_k.ico per icon group, equal to the group as wrestool extracts it
# (icotool lists and pixels); the image formats accepted by their decoders; a failure
# that exits 1 with one line on stderr; the settings store keeps no options after a batch;
# and, when Debian's wine64 modules are installed, as many icons as wrestool lists.
set -u
PROBE=$1; WORK=$2
. "$GS_SOURCE_DIR/tests/iconlib/oracle_lib.sh"
have_tools || exit 77
for t in i686-w64-mingw32-windres i686-w64-mingw32-ld x86_64-w64-mingw32-windres x86_64-w64-mingw32-ld cpp \
         identify giftopnm djpeg wmf2svg tiffinfo sqlite3; do
  command -v $t >/dev/null || { echo "missing $t"; exit 77; }
done
GS=${GLYPHSCOPE:?the program to test}
rm -rf "$WORK"; mkdir -p "$WORK/src" "$WORK/out"; cd "$WORK" || exit 1
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Without a display, whatever the environment running the tests has.
gs() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$GS" "$@"; }

make_test_icons || exit 1
cat > m.rc <<'RC'
1 ICON "a.ico"
7 ICON "b.ico"
MAINICON ICON "c.ico"
RC
for arch in i686 x86_64; do
  $arch-w64-mingw32-windres --preprocessor=cpp -i m.rc -o m_$arch.o || exit 1
done
i686-w64-mingw32-ld -shared -e 0 -o src/lib32.dll m_i686.o || exit 1
x86_64-w64-mingw32-ld -shared -e 0 -o src/Lib64.Module.DLL m_x86_64.o || exit 1

# Group names of a module in the order wrestool lists them, each once.
groups_of() { wrestool -l --type=14 "$1" 2>/dev/null | sed -E "s/.*--name=('([^']*)'|([0-9]+)).*/\2\3/" | awk '!seen[$0]++'; }
pixels_of() {
  rm -rf px; mkdir px; icotool -x -o px "$1" 2>/dev/null
  local p; for p in px/*.png; do [ -f "$p" ] && "$IM" "$p" rgba:- | md5sum; done
}

gs "/XBS:$WORK/src/*.dll,$WORK/out" 2>err.txt; status=$?
[ $status = 0 ] || fail "ICO export exited $status: $(cat err.txt)"
[ -s err.txt ] && fail "a silent run printed: $(cat err.txt)"
expected=0
for module in src/lib32.dll src/Lib64.Module.DLL; do
  base=$(basename "$module"); base=${base%%.*}
  k=0
  while IFS= read -r name; do
    k=$((k + 1)); expected=$((expected + 1))
    lang=$(wrestool -l --type=14 "$module" | grep -F -- "--name=$name " | sed -E 's/.*--language=([0-9]+).*/\1/' | head -n 1)
    [ -n "$lang" ] || lang=$(wrestool -l --type=14 "$module" | grep -F -- "--name='$name' " | sed -E 's/.*--language=([0-9]+).*/\1/' | head -n 1)
    wrestool -x --type=14 --name="$name" --language="$lang" "$module" > group.ico 2>/dev/null
    ours=out/${base}_$k.ico
    [ -f "$ours" ] || { fail "$ours missing for group $name"; continue; }
    [ "$(sizes_of group.ico)" = "$(sizes_of "$ours")" ] || fail "$ours lists other images than group $name"
    want_px=$(pixels_of group.ico)
    [ -n "$want_px" ] && [ "$want_px" = "$(pixels_of "$ours")" ] || fail "$ours has other pixels than group $name"
  done < <(groups_of "$module")
done
[ "$(ls out | wc -l)" = $expected ] || fail "$(ls out | wc -l) files written for $expected groups: $(ls out)"

# The image formats: each file accepted by an independent decoder, at the size asked for.
export_as() { rm -rf out; mkdir out; gs "/XBS:$WORK/src/*.dll,$WORK/out,$1" 2>err.txt || fail "$1 export exited $?: $(cat err.txt)"; }
size_is() { [ "$(identify -format '%wx%h' "$1" 2>/dev/null)" = "$2" ] || fail "$1 is $(identify -format '%wx%h' "$1" 2>&1), not $2"; }
# Named groups come first: 1 MAINICON (16, 32), 2 the group 1 (16, 32, 48), 3 the group 7 (256, 32).
export_as BMP,32
for f in out/lib32_1.bmp out/lib32_3.bmp out/Lib64_2.bmp; do size_is "$f" 32x32; done
[ "$(ls out | wc -l)" = 6 ] || fail "BMP,32 wrote $(ls out)"
export_as GIF
for f in out/*.gif; do giftopnm "$f" >/dev/null 2>&1 || fail "giftopnm refuses $f"; done
size_is out/lib32_1.gif 52x34
size_is out/lib32_2.gif 102x50
size_is out/Lib64_3.gif 34x34
export_as JPG,16
for f in out/*.jpg; do djpeg "$f" >/dev/null 2>&1 || fail "djpeg refuses $f"; size_is "$f" 16x16; done
[ "$(ls out | wc -l)" = 4 ] || fail "JPG,16 wrote $(ls out)"
export_as WMF,48,FALSE
for f in out/*.wmf; do
  wmf2svg -o "${f%.wmf}.svg" "$f" 2>wmf.err || fail "wmf2svg refuses $f"
  [ -s wmf.err ] && fail "wmf2svg complains about $f: $(cat wmf.err)"
  # Not transparent: the picture alone, no mask drawn before it.
  [ "$(grep -c '<image' "${f%.wmf}.svg")" = 1 ] || fail "$f is drawn with a mask"
done
[ "$(ls out/*.wmf | wc -l)" = 2 ] || fail "WMF,48 wrote $(ls out)"
[ -e out/lib32_3.wmf ] && fail "a group without a 48 x 48 image gave a metafile"
export_as TIF
for f in out/*.tif; do tiffinfo "$f" >/dev/null 2>&1 || fail "tiffinfo refuses $f"; done
[ "$(ls out | wc -l)" = 6 ] || fail "TIF wrote $(ls out)"

# A file that cannot be written ends the batch: exit 1, one line naming the source.
rm -rf out; mkdir -p out/lib32_2.ico
gs "/XBS:$WORK/src/*.dll,$WORK/out" 2>err.txt; status=$?
[ $status = 1 ] || fail "a failed batch exited $status"
[ "$(wc -l < err.txt)" = 1 ] && grep -q "lib32.dll" err.txt || fail "the failure was told as: $(cat err.txt)"
[ -e out/lib32_3.ico ] || [ -e out/Lib64_1.ico ] && fail "the batch went on after the failure"
# The same on an offscreen platform: no one would see a box there, so the line it is.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout 60 "$GS" "/XBS:$WORK/src/*.dll,$WORK/out" 2>err.txt
status=$?
[ $status = 1 ] && [ "$(wc -l < err.txt)" = 1 ] && grep -q "Batch extraction raised an error. .*lib32.dll" err.txt ||
  fail "offscreen, the failure ended $status, told as: $(cat err.txt)"

# Set-up wrote where the program is; the batch's teardown saved no options.
key='HKLM\Software\Veltrazone\Veltrazone Toolchest\Glyphscope'
q() { sqlite3 "$GLYPHSCOPE_REGISTRY" "$1"; }
[ "$(q "SELECT data FROM reg_entries WHERE path = '$key' AND name = 'Location'")" = "$(dirname "$GS")/" ] ||
  fail "Location: $(q "SELECT data FROM reg_entries WHERE path = '$key' AND name = 'Location'")"
[ -n "$(q "SELECT data FROM reg_entries WHERE path = '$key' AND name = 'Version'")" ] || fail "no Version"
[ "$(q "SELECT count(*) FROM reg_key_paths WHERE path LIKE '$key\\Options%'")" = 0 ] || fail "a batch run saved the options"

# Refused arguments, on every road: batch_roads.sh.

# Memory follows the icons, not the files: a sparse 3 GiB icon file whose one image lies at
# its end exports under an address-space limit far below its size, to the same image bytes.
le32() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))\\$(printf %03o $(($1 >> 16 & 255)))\\$(printf %03o $(($1 >> 24 & 255)))"; }
u32_at() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
rm -rf big out; mkdir big out
size=$(u32_at a.ico 14); at=$(u32_at a.ico 18); far=$((3 * 1024 * 1024 * 1024 - size))
{ printf '\000\000\001\000\001\000'; head -c 14 a.ico | tail -c 8; le32 "$size"; le32 "$far"; } >big/huge.ico
tail -c +$((at + 1)) a.ico | head -c "$size" | dd of=big/huge.ico bs=1M seek="$far" oflag=seek_bytes conv=notrunc status=none
[ "$(stat -c %s big/huge.ico)" = $((3 * 1024 * 1024 * 1024)) ] || fail "huge.ico could not be made"
# AddressSanitizer reserves terabytes of address space: there the limit cannot be set.
limit=600000; grep -q __asan_init "$GS" && limit=unlimited
(ulimit -v $limit; gs "/XBS:$WORK/big/*.ico,$WORK/out") 2>err.txt || fail "the huge icon file: exit $?: $(cat err.txt)"
tail -c "$size" out/huge_1.ico | cmp -s - <(tail -c +$((at + 1)) a.ico | head -c "$size") ||
  fail "the huge icon file's image was not exported whole"
rm -rf big

# Names that match but are no files of data are passed over, never opened: a FIFO (whose
# open would block), links to a device, to files of /proc and /sys, and to /; the one real
# module beside them exports as alone. The run is bounded: a blocked open fails the test.
rm -rf traps out; mkdir traps out
cp src/lib32.dll traps/real.dll
mkfifo traps/pipe.dll
ln -s /dev/zero traps/zero.dll; ln -s /proc/kmsg traps/kmsg.dll; ln -s /proc/self/environ traps/environ.dll
ln -s /sys/kernel/notes traps/notes.dll; ln -s / traps/root.dll
[ -p traps/pipe.dll ] && [ "$(ls traps | wc -l)" = 7 ] || fail "the traps could not be made"
timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$GS" "/XBS:$WORK/traps/*.dll,$WORK/out" 2>err.txt
status=$?
[ $status = 0 ] || fail "the batch over the traps exited $status: $(cat err.txt)"
[ -s err.txt ] && fail "the batch over the traps printed: $(cat err.txt)"
[ "$(ls out | tr '\n' ' ')" = "real_1.ico real_2.ico real_3.ico " ] || fail "the batch over the traps wrote: $(ls out | tr '\n' ' ')"
rm -rf traps

# Debian's wine64 modules: every icon group wrestool lists, once per name.
wine=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
if [ -d "$wine" ]; then
  rm -rf out; mkdir out
  # "/XB:" without a display: the walk unwatched, the result box's text on stderr.
  gs "/XB:$wine/*.*,$WORK/out" 2>err.txt || fail "wine64 export exited $?: $(cat err.txt)"
  want=0
  for f in "$wine"/*; do [ -f "$f" ] && want=$((want + $(groups_of "$f" | wc -l))); done
  got=$(grep -oE '[0-9]+ icon\(s\) saved' err.txt | grep -oE '^[0-9]+')
  [ "$got" = "$want" ] || fail "wine64: ${got:-no} icons saved, wrestool lists $want groups: $(cat err.txt)"
  echo "wine64: $want icon groups listed, $got icons saved"
else
  echo "wine64 modules not installed: that part skipped"
fi

[ $failures = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "batch export matches wrestool and the decoders"
