#!/usr/bin/env bash
# gsprobe crypt cipher held against pycryptodome's Blowfish and openssl's CBC, with the
# library's modes composed over pycryptodome's block cipher (see blowfish_oracle.py).
set -u
probe=$1
/usr/bin/python3 -c 'import Cryptodome' 2>/dev/null || { echo "skip: python3-pycryptodome missing"; exit 77; }
/usr/bin/python3 -c 'import ctypes; ctypes.CDLL("libmhash.so.2")' 2>/dev/null || { echo "skip: libmhash2 missing"; exit 77; }
command -v openssl >/dev/null || { echo "skip: openssl missing"; exit 77; }
exec /usr/bin/python3 "$(dirname "$0")/blowfish_oracle.py" "$probe" ciphers
