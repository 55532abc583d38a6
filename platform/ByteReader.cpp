#include "platform/ByteReader.h"

#include <array>

namespace gs {

namespace {
template <std::size_t N>
std::uint64_t readLE(const ByteSource& src, std::uint64_t off) {
    std::array<std::uint8_t, N> b{};
    src.readAt(off, b);
    std::uint64_t v = 0;
    for (std::size_t i = N; i-- > 0;) v = (v << 8) | b[i];
    return v;
}
}  // namespace

std::uint8_t ByteReader::u8() {
    auto v = static_cast<std::uint8_t>(readLE<1>(src_, pos_));
    pos_ += 1;
    return v;
}
std::uint16_t ByteReader::u16() {
    auto v = static_cast<std::uint16_t>(readLE<2>(src_, pos_));
    pos_ += 2;
    return v;
}
std::uint32_t ByteReader::u32() {
    auto v = static_cast<std::uint32_t>(readLE<4>(src_, pos_));
    pos_ += 4;
    return v;
}
std::uint64_t ByteReader::u64() {
    auto v = readLE<8>(src_, pos_);
    pos_ += 8;
    return v;
}
Bytes ByteReader::bytes(std::uint64_t n) {
    Bytes b = src_.read(pos_, n);
    pos_ += n;
    return b;
}
std::string ByteReader::chars(std::uint64_t n) {
    Bytes b = bytes(n);
    return std::string(b.begin(), b.end());
}
std::uint16_t ByteReader::u16At(std::uint64_t off) const {
    return static_cast<std::uint16_t>(readLE<2>(src_, off));
}
std::uint32_t ByteReader::u32At(std::uint64_t off) const {
    return static_cast<std::uint32_t>(readLE<4>(src_, off));
}

}  // namespace gs
