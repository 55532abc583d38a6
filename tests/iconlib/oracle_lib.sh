# Shared by the oracle tests: hold one module's icons, as gsprobe reads them, against
# wrestool (names, order, group content), icotool (sizes, depths) and ImageMagick (pixels).
# Needs: PROBE, WORK. compare_module FILE -> 0 when everything matches. GROUP_STEP=n compares
# the content of every n-th group only (the names of all), for a sample of a module with hundreds.
IM=/usr/bin/convert
have_tools() {
  for t in wrestool icotool "$IM" /usr/bin/mogrify cmp od; do command -v "$t" >/dev/null 2>&1 || { echo "missing $t"; return 1; }; done
}

# Icon files of several sizes and depths, from pictures drawn here, in the current folder:
# a.ico (16, 32, 48), b.ico (256 as PNG, 32), c.ico (16 colours at 16, 32).
make_test_icons() {
  pic() { "$IM" -size "$1" "$2" -alpha set -channel A -fx "$3" +channel "png32:$4"; }
  pic 16x16 gradient:red-blue 'i%3==0?0:1' p16.png || return 1
  pic 32x32 plasma:fractal 'j%4==0?0.5:1' p32.png || return 1
  pic 48x48 gradient:green-yellow '1' p48.png || return 1
  pic 256x256 radial-gradient:white-black 'i<20?0:1' p256.png || return 1
  icotool -c -o a.ico p16.png p32.png p48.png || return 1
  icotool -c -o b.ico -r p256.png p32.png || return 1
  "$IM" p16.png -colors 16 -type Palette png8:p16c.png && icotool -c -o c.ico p16c.png p32.png
}

# icotool -l of an icon file as "WxH<TAB>depth" lines.
sizes_of() { icotool -l "$1" 2>/dev/null | sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2\t\3/'; }

# One line per image of an icon file: 1 when its data is a PNG stream. icotool reports a
# PNG image's own bit depth where the directory may say another; those depths are not compared.
# One od and one awk for the whole file: a process per field made this the oracles' cost.
png_flags() {
  od -An -v -tu1 "$1" | awk '{ for (i = 1; i <= NF; i++) b[n++] = $i }
    function u4(o) { return b[o] + 256 * b[o + 1] + 65536 * b[o + 2] + 16777216 * b[o + 3] }
    END { c = b[4] + 256 * b[5]
          for (k = 0; k < c; k++) { o = u4(18 + 16 * k); print (b[o] == 137 && b[o + 1] == 80 && b[o + 2] == 78 && b[o + 3] == 71) ? 1 : 0 } }'
}
# Sizes with the depth of PNG images blanked: comparable_sizes SIZES FLAGS, FLAGS png_flags' lines.
comparable_sizes() { paste "$1" "$2" | awk -F'\t' '{ if ($3 == 1) $2 = "png"; print $1"\t"$2 }'; }

# For each group of a wrestool listing, in order, "name<TAB>language": the language a neutral
# request gets (neutral, process default, system default, US English, else the first listed).
module_languages() {
  awk 'match($0, /--name=(\047[^\047]*\047|[0-9]+) /) {
         n = substr($0, RSTART + 7, RLENGTH - 8); gsub(/\047/, "", n)
         match($0, /--language=[0-9]+/); l = substr($0, RSTART + 11, RLENGTH - 11)
         if (!(n in first)) { first[n] = l; order[++c] = n }
         has[n, l] = 1 }
       END { split("0 1024 2048 1033", want, " ")
             for (i = 1; i <= c; i++) {
               n = order[i]; p = first[n]
               for (j = 4; j >= 1; j--) if ((n, want[j]) in has) p = want[j]
               print n "\t" p } }' "$1"
}

compare_module() {
  local f=$1 out=$WORK/cmp; rm -rf "$out"; mkdir -p "$out"
  # Names in order, each once (wrestool lists every language of a group).
  wrestool -l --type=14 "$f" 2>/dev/null | sed -E "s/.*--name=('([^']*)'|([0-9]+)).*/\2\3/" | awk '!seen[$0]++' > "$out/names.want"
  "$PROBE" list "$f" | cut -f3 > "$out/names.got"
  # NE modules name their groups by number for wrestool; our names come from the string area.
  if [ "${CHECK_NAMES:-1}" = 1 ] && ! cmp -s "$out/names.want" "$out/names.got" ||
     [ "$(wc -l < "$out/names.want")" != "$(wc -l < "$out/names.got")" ]; then
    echo "FAIL names differ for $f"; diff "$out/names.want" "$out/names.got" | head; return 1
  fi
  wrestool -l --type=14 "$f" 2>/dev/null > "$out/list"
  local -A lang_of; local n l
  while IFS=$'\t' read -r n l; do lang_of[$n]=$l; done < <(module_languages "$out/list")
  "$PROBE" list -v "$f" > "$out/ours.list"
  if [ "${PIXELS:-1}" = 1 ]; then mkdir -p "$out/rgba"; "$PROBE" rgba-all "$f" "$out/rgba"; fi
  local i=0 name lang
  while IFS= read -r name; do
    [ $((i % ${GROUP_STEP:-1})) = 0 ] || { i=$((i + 1)); continue; }
    lang=${lang_of[$name]}
    wrestool -x --type=14 --name="$name" --language="$lang" "$f" > "$out/g.ico" 2>/dev/null
    awk -F'\t' -v idx="$i" '$1!="" {cur=$2} $1=="" && cur==idx {print $3"\t"$4}' "$out/ours.list" > "$out/got.sizes"
    sizes_of "$out/g.ico" > "$out/want.raw"
    png_flags "$out/g.ico" > "$out/want.png"
    comparable_sizes "$out/want.raw" "$out/want.png" > "$out/want.sizes"
    comparable_sizes "$out/got.sizes" "$out/want.png" > "$out/got.cmp"
    if ! cmp -s "$out/want.sizes" "$out/got.cmp"; then
      echo "FAIL sizes of $f group $name"; diff "$out/want.sizes" "$out/got.cmp" | head; return 1
    fi
    # Our icon file of the group has the same images; its pixels equal ImageMagick's.
    "$PROBE" ico "$f" "$i" "$out/ours.ico"
    sizes_of "$out/ours.ico" > "$out/ours.raw"
    png_flags "$out/ours.ico" > "$out/ours.png"
    comparable_sizes "$out/ours.raw" "$out/ours.png" > "$out/ours.sizes"
    cmp -s "$out/want.sizes" "$out/ours.sizes" || { echo "FAIL our .ico of $f group $name"; return 1; }
    if [ "${PIXELS:-1}" = 1 ]; then
      rm -rf "$out/x"; mkdir "$out/x"; icotool -x -o "$out/x" "$out/g.ico" 2>/dev/null
      /usr/bin/mogrify -format rgba "$out/x/"*.png 2>/dev/null
      local k=0 n want; n=$(wc -l < "$out/want.sizes")
      while [ "$k" -lt "$n" ]; do
        want=("$out/x/"*"_$((k + 1))_"*.rgba)
        if [ -f "${want[0]}" ] && ! cmp -s "${want[0]}" "$out/rgba/${i}_$k.rgba"; then
          echo "FAIL pixels of $f group $name image $k"; return 1
        fi
        k=$((k + 1))
      done
    fi
    i=$((i + 1))
  done < "$out/names.want"
  return 0
}
