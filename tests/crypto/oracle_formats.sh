#!/usr/bin/env bash
# gsprobe crypt fmt held against coreutils, xxd, sharutils and uudeview: every format
# written as the tools write it (line breaks and uuencode's begin/end lines stripped), and
# the tools' own output, line breaks included, read back to the original bytes.
set -u
probe=$1 work=$2
for tool in base64 basenc xxd uuencode uuenview; do
  command -v $tool >/dev/null || { echo "skip: $tool missing"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The body of a uuencoded or xxencoded file: no begin/end lines, no zero-length line.
body() { sed -n '/^begin /,/^end/p' | sed '1d;$d' | grep -v '^[`+]$'; }
same() {  # LABEL OURS THEIRS
  [ "$2" = "$3" ] || fail "$1: ours '${2:0:80}' tool '${3:0:80}'"
}
reads() {  # LABEL ID FILE: FILE read in format ID gives in.bin back
  "$probe" crypt fmt --from "$2" <"$3" >back.bin && cmp -s back.bin in.bin || fail "$1: reading the tool's text"
}

for n in 0 1 2 3 4 44 45 46 89 90 91 1000 5000; do
  head -c $n /dev/urandom >in.bin
  same "base64 $n" "$("$probe" crypt fmt --to 4196 <in.bin)" "$(base64 -w0 in.bin)"
  same "base16 $n" "$("$probe" crypt fmt --to 16 <in.bin)" "$(basenc --base16 -w0 in.bin)"
  same "xxd $n" "$("$probe" crypt fmt --to 1016 <in.bin)" "$(xxd -p in.bin | tr -d '\n')"
  same "uuencode $n" "$("$probe" crypt fmt --to 21845 <in.bin)" "$(uuencode in.bin x | body | tr -d '\n')"
  [ $n -eq 0 ] && continue
  same "xxencode $n" "$("$probe" crypt fmt --to 22616 <in.bin)" "$(uuenview -x in.bin 2>/dev/null | body | tr -d '\n')"
  base64 -w 76 in.bin >t.txt && reads "base64 $n" 4196 t.txt
  xxd -p in.bin >t.txt && reads "xxd $n" 1016 t.txt
  basenc --base16 in.bin >t.txt && reads "base16 $n" 16 t.txt
  uuencode in.bin x | body >t.txt && reads "uuencode $n" 21845 t.txt
  uuenview -x in.bin 2>/dev/null | body >t.txt && reads "xxencode $n" 22616 t.txt
done

# base64url is refused, never mis-read.
printf '\xfb\xff' >in.bin
url=$(base64 -w0 in.bin | tr '+/' '-_')
if "$probe" crypt fmt --from 4196 <<<"$url" >/dev/null 2>err.txt; then fail "base64url accepted"; fi
grep -qF 'Input is not an valid MIME Base 64 Format.' err.txt || fail "base64url refusal: $(cat err.txt)"

echo "$failures failures"
[ $failures -eq 0 ]
