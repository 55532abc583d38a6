"""Composed oracle for Blowfish in the library's eight modes and for the string decoder.

The block cipher is pycryptodome's, RIPEMD-256 is libmhash's; the modes are written here
from the library's mode table, and checked against pycryptodome's own ECB, CBC and CFB-8
and against openssl's CBC where those modes coincide. Usage: blowfish_oracle.py PROBE
(ciphers|decoder); prints each failure and exits 1 when there was one."""
import base64
import ctypes
import os
import random
import subprocess
import sys

from Cryptodome.Cipher import Blowfish

PROGRAM_KEY = b"wtrbnxqe60419275318846"
MODES = ["cts", "cbc", "cfb", "ofb", "ecb", "ctsmac", "cbcmac", "cfbmac"]
SIZES = [0, 1, 7, 8, 9, 13, 16, 17, 40, 4095, 4096, 4097]  # every size 0 to 40: the unit tests
rng = random.Random(int.from_bytes(os.urandom(4), "little"))
failures = []


def ripemd256(data):
    lib = ctypes.CDLL("libmhash.so.2")
    lib.mhash_init.restype = lib.mhash_end.restype = ctypes.c_void_p
    h = lib.mhash_init(24)
    lib.mhash(ctypes.c_void_p(h), data, ctypes.c_uint(len(data)))
    return ctypes.string_at(lib.mhash_end(ctypes.c_void_p(h)), 32)


def xor(a, b):
    return bytes(x ^ y for x, y in zip(a, b))


class Modes:
    def __init__(self, key, iv=None):
        self.ecb = Blowfish.new(key, Blowfish.MODE_ECB)
        self.vector = iv if iv is not None else self.ecb.encrypt(b"\xff" * 8)

    def run(self, mode, data, decode):
        """(output, feedback) of one EncodeBuffer/DecodeBuffer from the vector."""
        E, D, f, out = self.ecb.encrypt, self.ecb.decrypt, self.vector, bytearray(data)
        mac = mode.endswith("mac")
        if mode in ("cfb", "ofb", "cfbmac"):
            for i, c in enumerate(data):
                b = E(f)
                coded = c ^ b[0]
                last = {"cfb": c if decode else coded, "ofb": b[0], "cfbmac": coded}[mode]
                f = f[1:] + bytes([last])
                if not mac:
                    out[i] = coded
            return bytes(out), f
        whole = len(data) // 8 * 8
        for at in range(0, whole, 8):
            x = data[at:at + 8]
            if mode == "ecb":
                out[at:at + 8] = D(x) if decode else E(x)
            elif mode in ("cts", "cbc") and decode:
                out[at:at + 8] = xor(D(x), f)
                f = xor(x, f) if mode == "cts" else x
            elif mode in ("cts", "cbc"):
                y = E(xor(x, f))
                out[at:at + 8] = y
                f = xor(y, f) if mode == "cts" else y
            else:
                b = E(xor(x, f))
                f = xor(f, b) if mode == "ctsmac" else b
        if whole < len(data):
            b = E(f)
            if not mac:
                out[whole:] = xor(data[whole:], b)
            f = xor(f, b)
        return bytes(out), f


def probe(*args, data=None):
    r = subprocess.run([PROBE, "crypt", *args], input=data, capture_output=True)
    if r.returncode != 0:
        failures.append("gsprobe crypt %s: %s" % (" ".join(args)[:120], r.stderr.decode(errors="replace")))
    return r.stdout


def check(label, ours, want):
    if ours != want:
        failures.append("%s: ours %r, oracle %r" % (label, ours[:40], want[:40]))


def tool_result(mode, key, iv, data):
    """pycryptodome's own mode where it is the library's, else None."""
    if mode == "ecb":
        return Blowfish.new(key, Blowfish.MODE_ECB).encrypt(data)
    if mode == "cbc" and len(data) % 8 == 0:
        return Blowfish.new(key, Blowfish.MODE_CBC, iv=iv).encrypt(data)
    if mode == "cfb":
        return Blowfish.new(key, Blowfish.MODE_CFB, iv=iv, segment_size=8).encrypt(data)
    return None


def ciphers():
    for mode in MODES:
        for n in SIZES:
            if mode == "ecb" and n % 8:
                continue
            key = os.urandom(rng.randint(4, 56))
            iv = os.urandom(8) if n % 3 else None
            data = os.urandom(n)
            modes = Modes(key, iv)
            args = ["cipher", "Blowfish", "--mode", mode, "--key-hex", key.hex()]
            args += ["--iv-hex", iv.hex()] if iv else []
            want, feedback = modes.run(mode, data, False)
            label = "%s %d bytes key %s" % (mode, n, key.hex())
            check(label + " encode", probe(*args, "--encode-hex", data.hex()).decode(), want.hex())
            check(label + " feedback", probe(*args, "--encode-hex", data.hex(), "--feedback").decode(), feedback.hex())
            back, feedback = modes.run(mode, want, True)
            check(label + " decode", probe(*args, "--decode-hex", want.hex()).decode(), back.hex())
            if not mode.endswith("mac"):
                check(label + " round trip", back, data)
            else:
                check(label + " decode feedback", probe(*args, "--decode-hex", want.hex(), "--feedback").decode(),
                      feedback.hex())
            tool = tool_result(mode, key, iv or modes.vector, data)
            if tool is not None:
                check(label + " pycryptodome", want, tool)
    for n in (0, 8, 16, 4096):  # openssl's CBC, 16-byte keys
        key, iv, data = os.urandom(16), os.urandom(8), os.urandom(n)
        r = subprocess.run(["openssl", "enc", "-bf-cbc", "-provider", "legacy", "-provider", "default", "-nopad",
                            "-K", key.hex(), "-iv", iv.hex()], input=data, capture_output=True)
        check("openssl cbc %d" % n, r.returncode, 0)
        ours = probe("cipher", "Blowfish", "--mode", "cbc", "--key-hex", key.hex(), "--iv-hex", iv.hex(),
                     "--encode", data=data)
        check("openssl cbc %d" % n, ours, r.stdout)
    for password in (b"", b"k", b"a longer key text of some length"):  # InitKey: RIPEMD-256 of the key text
        data = os.urandom(29)
        want, _ = Modes(ripemd256(password)).run("cts", data, False)
        ours = probe("cipher", "Blowfish", "--mode", "cts", "--password", password.decode(), "--encode", data=data)
        check("password %r" % password, ours, want)


def decipher(key, text):
    padded = "".join(text.split())
    return Modes(ripemd256(key)[:32]).run("cts", base64.b64decode(padded + "=" * (-len(padded) % 4)), True)[0]


def encipher(key, plain):
    return base64.b64encode(Modes(ripemd256(key)[:32]).run("cts", plain, False)[0]).decode()


def decoder():
    listing = probe("hidden", "--list").decode().splitlines()
    check("stored texts", len(listing), 5)
    for line in listing:
        name, stored = line.split("\t")
        plain = decipher(PROGRAM_KEY, stored)
        check(name, probe("hidden", "--decode", stored), plain)
        plain.decode("utf-8")
    for n in (0, 1, 7, 8, 9, 13, 40, 4095, 4096, 4097, 5003):
        plain = os.urandom(n)
        key = os.urandom(rng.randint(1, 30)).hex()
        for k, extra in ((PROGRAM_KEY, []), (key.encode(), ["--key", key])):
            text = encipher(k, plain)
            check("encode %d" % n, probe("hidden", *extra, "--encode", data=plain).decode(), text)
            wrapped = "\n".join(text[i:i + 76] for i in range(0, len(text), 76))
            check("decode %d" % n, probe("hidden", *extra, "--decode", data=wrapped.encode()), plain)


if __name__ == "__main__":
    PROBE = sys.argv[1]
    {"ciphers": ciphers, "decoder": decoder}[sys.argv[2]]()
    for f in failures[:40]:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    sys.exit(1 if failures else 0)
