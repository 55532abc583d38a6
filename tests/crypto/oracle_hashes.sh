#!/usr/bin/env bash
# gsprobe crypt hash held against rhash, md5sum, sha1sum and libmhash (RIPEMD-128, -256,
# -320, HAVAL-128 to -256, Snefru-256 through ctypes) and Python's CRC-16s (binascii, crcmod),
# over sizes around the padding boundary and one input past 512 MiB (the bit length needs the
# 64-bit counter). No tool has SHA-0: its vectors are unit tests.
set -u
probe=$1 work=$2
for tool in rhash md5sum sha1sum /usr/bin/python3; do
  command -v $tool >/dev/null || { echo "skip: $tool missing"; exit 77; }
done
/usr/bin/python3 -c 'import ctypes; ctypes.CDLL("libmhash.so.2")' 2>/dev/null || { echo "skip: libmhash2 missing"; exit 77; }
/usr/bin/python3 -c 'import crcmod' 2>/dev/null || { echo "skip: python3-crcmod missing"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mhash() {  # ID FILE: the digest by libmhash, lower-case hex
  /usr/bin/python3 - "$1" "$2" <<'PY'
import ctypes, sys
lib = ctypes.CDLL("libmhash.so.2")
lib.mhash_init.restype = lib.mhash_end.restype = ctypes.c_void_p
lib.mhash_get_block_size.restype = ctypes.c_uint
kind, data = int(sys.argv[1]), open(sys.argv[2], "rb").read()
h = lib.mhash_init(kind)
lib.mhash(ctypes.c_void_p(h), data, ctypes.c_uint(len(data)))
n = lib.mhash_get_block_size(kind)
print(ctypes.string_at(lib.mhash_end(ctypes.c_void_p(h)), n).hex(), end="")
PY
}

for n in 0 1 55 56 63 64 65 117 118 119 120 127 128 129 4095 4096 4097 100000; do
  head -c $n /dev/urandom >in.bin
  for a in md4 md5 sha1 ripemd160 tiger; do
    [ "$("$probe" crypt hash $a <in.bin)" = "$(rhash -p "%{$a}" in.bin)" ] || fail "$a of $n bytes"
  done
  [ "$("$probe" crypt hash 'Message Digest 5' <in.bin)" = "$(md5sum <in.bin | cut -c1-32)" ] || fail "md5sum $n"
  [ "$("$probe" crypt hash 'Secure Hash Algorithm 1' <in.bin)" = "$(sha1sum <in.bin | cut -c1-40)" ] || fail "sha1sum $n"
  [ "$("$probe" crypt hash CRC-32 <in.bin)" = "$(rhash -p '%{crc32}' in.bin)" ] || fail "CRC-32 of $n bytes"
  [ "$("$probe" crypt hash Snefru-256 <in.bin)" = "$(rhash -p '%{snefru256}' in.bin)" ] || fail "Snefru-256 of $n bytes"
  crc16=$(/usr/bin/python3 -c 'import sys, binascii, crcmod.predefined as p; d = open(sys.argv[1], "rb").read()
print("%04x %04x" % (binascii.crc_hqx(d, 0xFFFF), p.mkCrcFun("crc-16")(d)), end="")' in.bin)
  [ "$("$probe" crypt hash 'CRC-16 CCITT' <in.bin) $("$probe" crypt hash 'CRC-16 Standard' <in.bin)" = "$crc16" ] ||
    fail "CRC-16s of $n bytes"
  for pair in 23:RipeMD128 24:RipeMD256 25:RipeMD320 13:Haval-128 12:Haval-160 11:Haval-192 10:Haval-224 3:Haval-256 27:Snefru-256; do
    [ "$("$probe" crypt hash ${pair#*:} <in.bin)" = "$(mhash ${pair%%:*} in.bin)" ] || fail "${pair#*:} of $n bytes"
  done
  # The digest in another format: base 64 of the same bytes.
  [ "$("$probe" crypt hash md5 --format 4196 <in.bin)" = "$(md5sum <in.bin | cut -c1-32 | xxd -r -p | base64 -w0)" ] ||
    fail "md5 as base 64, $n bytes"
done

# Past 512 MiB the bit length no longer fits 32 bits; read from a pipe as a stream.
ours=$(head -c 536871000 /dev/zero | "$probe" crypt hash md5)
[ "$ours" = "$(head -c 536871000 /dev/zero | md5sum | cut -c1-32)" ] || fail "md5 of 536871000 zero bytes: $ours"

echo "$failures failures"
[ $failures -eq 0 ]
