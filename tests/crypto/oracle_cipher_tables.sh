#!/usr/bin/env bash
# gsprobe crypt cipher held against the vector files Crypto++ ships, libgcrypt's IDEA, GOST
# and Twofish, and every registered cipher in every mode (see cipher_tables_oracle.py).
set -u
probe=$1
[ -r /usr/share/crypto++/TestData/gostval.dat ] || { echo "skip: libcrypto++-utils missing"; exit 77; }
/usr/bin/python3 -c 'import ctypes; ctypes.CDLL("libgcrypt.so.20")' 2>/dev/null || { echo "skip: libgcrypt20 missing"; exit 77; }
exec /usr/bin/python3 "$(dirname "$0")/cipher_tables_oracle.py" "$probe"
