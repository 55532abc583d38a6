#include "platform/ByteReader.h"

#include <array>

#include "platform/Errors.h"

namespace gs {

void ByteReader::check(std::uint64_t off, std::uint64_t n) const {
    if (!contains(off, n))
        throw EReadError("Unexpected end of data: " + std::to_string(n) + " bytes wanted at offset " +
                         std::to_string(base_ + off) + ", the data ends at " + std::to_string(base_ + size_));
}

ByteReader ByteReader::window(std::uint64_t offset, std::uint64_t length) const {
    check(offset, length);
    return ByteReader(src_, base_ + offset, length);
}

template <std::size_t N>
std::uint64_t ByteReader::readLE(std::uint64_t off) const {
    check(off, N);
    std::array<std::uint8_t, N> b{};
    src_.readAt(base_ + off, b);
    std::uint64_t v = 0;
    for (std::size_t i = N; i-- > 0;) v = (v << 8) | b[i];
    return v;
}

std::uint8_t ByteReader::u8() {
    auto v = static_cast<std::uint8_t>(readLE<1>(pos_));
    pos_ += 1;
    return v;
}
std::uint16_t ByteReader::u16() {
    auto v = static_cast<std::uint16_t>(readLE<2>(pos_));
    pos_ += 2;
    return v;
}
std::uint32_t ByteReader::u32() {
    auto v = static_cast<std::uint32_t>(readLE<4>(pos_));
    pos_ += 4;
    return v;
}
std::uint64_t ByteReader::u64() {
    auto v = readLE<8>(pos_);
    pos_ += 8;
    return v;
}
Bytes ByteReader::bytesAt(std::uint64_t off, std::uint64_t n) const {
    check(off, n);
    return src_.read(base_ + off, n);
}
Bytes ByteReader::bytes(std::uint64_t n) {
    Bytes b = bytesAt(pos_, n);
    pos_ += n;
    return b;
}
std::string ByteReader::chars(std::uint64_t n) {
    check(pos_, n);
    std::string s(static_cast<std::size_t>(n), '\0');
    src_.readAt(base_ + pos_, {reinterpret_cast<std::uint8_t*>(s.data()), s.size()});
    pos_ += n;
    return s;
}
std::uint16_t ByteReader::u16At(std::uint64_t off) const {
    return static_cast<std::uint16_t>(readLE<2>(off));
}
std::uint32_t ByteReader::u32At(std::uint64_t off) const {
    return static_cast<std::uint32_t>(readLE<4>(off));
}

}  // namespace gs
