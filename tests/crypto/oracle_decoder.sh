#!/usr/bin/env bash
# gsprobe crypt hidden held against a decoder composed from libmhash's RIPEMD-256,
# pycryptodome's Blowfish block and the library's CTS mode (see blowfish_oracle.py).
set -u
probe=$1
/usr/bin/python3 -c 'import Cryptodome' 2>/dev/null || { echo "skip: python3-pycryptodome missing"; exit 77; }
/usr/bin/python3 -c 'import ctypes; ctypes.CDLL("libmhash.so.2")' 2>/dev/null || { echo "skip: libmhash2 missing"; exit 77; }
exec /usr/bin/python3 "$(dirname "$0")/blowfish_oracle.py" "$probe" decoder
