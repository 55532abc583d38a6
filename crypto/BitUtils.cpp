#include "crypto/BitUtils.h"

#include <array>
#include <atomic>
#include <chrono>
#include <ctime>

namespace gs::crypto {

std::uint32_t ByteSwapWord(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

void ByteSwapWords(const std::uint32_t* source, std::uint32_t* dest, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) dest[i] = ByteSwapWord(source[i]);
}

std::uint32_t ReverseBits32(std::uint32_t v) {
    std::uint32_t r = 0;
    for (int i = 0; i < 32; ++i, v >>= 1) r = (r << 1) | (v & 1);
    return r;
}

int CompareBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return int(a[i]) - int(b[i]);
    return 0;
}

void XorBytes(std::uint8_t* dest, const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) dest[i] = a[i] ^ b[i];
}

std::uint32_t XorRandomBytes(std::span<std::uint8_t> buffer, std::uint32_t seed) {
    for (std::uint8_t& byte : buffer) {
        seed ^= byte;  // the old byte stirs the seed's low byte
        seed = seed * 134775813u + 1u;
        byte = std::uint8_t(seed >> 24);
    }
    return seed;
}

std::uint32_t ClockSeed() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::uint32_t seed = std::uint32_t(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + ms);
    std::uint64_t counter = std::uint64_t(steady_clock::now().time_since_epoch().count());
    return seed ^ std::uint32_t(counter) ^ std::uint32_t(counter >> 32);
}

namespace {
template <class Word>
std::array<Word, 256> reflectedTable(Word poly) {
    std::array<Word, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        Word c = Word(i);
        for (int k = 0; k < 8; ++k) c = (c & 1) ? Word((c >> 1) ^ poly) : Word(c >> 1);
        table[i] = c;
    }
    return table;
}
}  // namespace

std::uint16_t CRC16(std::uint16_t crc, std::span<const std::uint8_t> data) {
    static const auto table = reflectedTable<std::uint16_t>(0xA001);
    for (std::uint8_t b : data) crc = std::uint16_t((crc >> 8) ^ table[(crc ^ b) & 0xFF]);
    return crc;
}

std::uint32_t CRC32(std::uint32_t crc, std::span<const std::uint8_t> data) {
    static const auto table = reflectedTable<std::uint32_t>(0xEDB88320u);
    for (std::uint8_t b : data) crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF];
    return crc;
}

void SecureFill(std::span<std::uint8_t> bytes, std::uint8_t value) {
    volatile std::uint8_t* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) p[i] = value;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

}  // namespace gs::crypto
