// The eight modes of TCipher. Whole blocks are coded first, then a partial last block by
// the tail rule; CFB, OFB and CFB-MAC run byte by byte (8-bit feedback). The MAC modes move
// only the feedback and leave the data as it was.
#include <array>
#include <cstring>
#include <stdexcept>

#include "crypto/BitUtils.h"
#include "crypto/Cipher.h"
#include "crypto/CryptoErrors.h"

namespace gs::crypto {

namespace {
constexpr std::size_t kLargestBlock = 256;
using M = TCipherMode;

bool isMac(M m) { return m == M::cmCTSMAC || m == M::cmCBCMAC || m == M::cmCFBMAC; }
bool isBytewise(M m) { return m == M::cmCFB || m == M::cmOFB || m == M::cmCFBMAC; }
}  // namespace

// Checks before anything is coded; the MAC modes' output is their input. Returns the size
// of the whole blocks.
std::size_t TCipher::prepare(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest) {
    checkInitialized();
    if (dest.size() < source.size()) throw std::length_error("cipher output area smaller than its input");
    const std::size_t n = BlockSize(), size = source.size(), whole = size / n * n;
    if (mode_ == M::cmECB && whole != size)
        throw ECipherException(ECipherException::kPartialBlock,
                               std::string(Class().names.className) + " codes only whole blocks of " +
                                   std::to_string(n) + " bytes in ECB mode.");
    if (isMac(mode_) && source.data() != dest.data()) std::memmove(dest.data(), source.data(), size);
    return whole;
}

void TCipher::EncodeBuffer(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest) {
    const std::size_t size = source.size(), whole = prepare(source, dest);
    if (isBytewise(mode_)) return codeBytes(source.data(), dest.data(), size, false);
    encodeWhole(source.data(), dest.data(), whole);
    codeTail(source.data() + whole, dest.data() + whole, size - whole);
}

void TCipher::DecodeBuffer(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest) {
    const std::size_t size = source.size(), whole = prepare(source, dest);
    if (isBytewise(mode_)) return codeBytes(source.data(), dest.data(), size, true);
    if (isMac(mode_)) encodeWhole(source.data(), dest.data(), whole);
    else decodeWhole(source.data(), dest.data(), whole);
    codeTail(source.data() + whole, dest.data() + whole, size - whole);
}

void TCipher::encodeWhole(const std::uint8_t* in, std::uint8_t* out, std::size_t size) {
    const std::size_t n = BlockSize();
    std::uint8_t* f = feedback_.data();
    std::uint8_t* b = buffer_.data();
    std::array<std::uint8_t, kLargestBlock> x;
    for (std::size_t at = 0; at < size; at += n) {
        std::memcpy(x.data(), in + at, n);
        switch (mode_) {
            case M::cmCTS:  // Y = E(X xor F); F := Y xor F
                XorBytes(x.data(), x.data(), f, n);
                EncodeBlock(x.data());
                XorBytes(f, x.data(), f, n);
                break;
            case M::cmCBC:  // Y = E(X xor F); F := Y
                XorBytes(x.data(), x.data(), f, n);
                EncodeBlock(x.data());
                std::memcpy(f, x.data(), n);
                break;
            case M::cmECB:
                EncodeBlock(x.data());
                break;
            case M::cmCTSMAC:  // B := E(X xor F); F := F xor B
                XorBytes(b, x.data(), f, n);
                EncodeBlock(b);
                XorBytes(f, f, b, n);
                continue;
            default:  // cmCBCMAC: B := E(X xor F); F := B
                XorBytes(b, x.data(), f, n);
                EncodeBlock(b);
                std::memcpy(f, b, n);
                continue;
        }
        std::memcpy(out + at, x.data(), n);
    }
    SecureZero(x);
}

void TCipher::decodeWhole(const std::uint8_t* in, std::uint8_t* out, std::size_t size) {
    const std::size_t n = BlockSize();
    std::uint8_t* f = feedback_.data();
    std::array<std::uint8_t, kLargestBlock> x, y;
    for (std::size_t at = 0; at < size; at += n) {
        std::memcpy(x.data(), in + at, n);
        std::memcpy(y.data(), x.data(), n);
        DecodeBlock(x.data());
        if (mode_ == M::cmCTS) {  // X = D(Y) xor F; F := Y xor F
            XorBytes(x.data(), x.data(), f, n);
            XorBytes(f, y.data(), f, n);
        } else if (mode_ == M::cmCBC) {  // X = D(Y) xor F; F := Y
            XorBytes(x.data(), x.data(), f, n);
            std::memcpy(f, y.data(), n);
        }
        std::memcpy(out + at, x.data(), n);
    }
    SecureZero(x);
    SecureZero(y);
}

// A partial last block of r bytes: B := E(F); the data takes the first r bytes of B (not
// in the MAC modes); F := F xor B.
void TCipher::codeTail(const std::uint8_t* in, std::uint8_t* out, std::size_t r) {
    if (r == 0) return;
    const std::size_t n = BlockSize();
    std::uint8_t* f = feedback_.data();
    std::uint8_t* b = buffer_.data();
    std::memcpy(b, f, n);
    EncodeBlock(b);
    if (!isMac(mode_)) XorBytes(out, in, b, r);
    XorBytes(f, f, b, n);
}

void TCipher::codeBytes(const std::uint8_t* in, std::uint8_t* out, std::size_t size, bool decode) {
    const std::size_t n = BlockSize();
    std::uint8_t* f = feedback_.data();
    std::uint8_t* b = buffer_.data();
    for (std::size_t i = 0; i < size; ++i) {
        std::memcpy(b, f, n);
        EncodeBlock(b);
        const std::uint8_t c = in[i], coded = c ^ b[0];
        std::memmove(f, f + 1, n - 1);
        switch (mode_) {
            case M::cmCFB:  // the cipher byte enters the feedback
                f[n - 1] = decode ? c : coded;
                out[i] = coded;
                break;
            case M::cmOFB:
                f[n - 1] = b[0];
                out[i] = coded;
                break;
            default:  // cmCFBMAC
                f[n - 1] = coded;
                break;
        }
    }
}

}  // namespace gs::crypto
