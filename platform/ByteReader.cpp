#include "platform/ByteReader.h"

#include <array>

#include "platform/Errors.h"

namespace gs {

void TByteReader::Check(std::uint64_t off, std::uint64_t n) const {
    if (!Contains(off, n))
        throw EReadError("Unexpected end of data: " + std::to_string(n) + " bytes wanted at offset " +
                         std::to_string(base_ + off) + ", the data ends at " + std::to_string(base_ + size_));
}

TByteReader TByteReader::Window(std::uint64_t offset, std::uint64_t length) const {
    Check(offset, length);
    return TByteReader(src_, base_ + offset, length);
}

template <std::size_t N>
std::uint64_t TByteReader::ReadLE(std::uint64_t off) const {
    Check(off, N);
    std::array<std::uint8_t, N> b{};
    src_.ReadAt(base_ + off, b);
    std::uint64_t v = 0;
    for (std::size_t i = N; i-- > 0;) v = (v << 8) | b[i];
    return v;
}

std::uint8_t TByteReader::U8() {
    auto v = static_cast<std::uint8_t>(ReadLE<1>(pos_));
    pos_ += 1;
    return v;
}
std::uint16_t TByteReader::U16() {
    auto v = static_cast<std::uint16_t>(ReadLE<2>(pos_));
    pos_ += 2;
    return v;
}
std::uint32_t TByteReader::U32() {
    auto v = static_cast<std::uint32_t>(ReadLE<4>(pos_));
    pos_ += 4;
    return v;
}
std::uint64_t TByteReader::U64() {
    auto v = ReadLE<8>(pos_);
    pos_ += 8;
    return v;
}
TBytes TByteReader::BytesAt(std::uint64_t off, std::uint64_t n) const {
    Check(off, n);
    return src_.Read(base_ + off, n);
}
TBytes TByteReader::Bytes(std::uint64_t n) {
    TBytes b = BytesAt(pos_, n);
    pos_ += n;
    return b;
}
std::string TByteReader::Chars(std::uint64_t n) {
    Check(pos_, n);
    std::string s(static_cast<std::size_t>(n), '\0');
    src_.ReadAt(base_ + pos_, {reinterpret_cast<std::uint8_t*>(s.data()), s.size()});
    pos_ += n;
    return s;
}
std::uint16_t TByteReader::U16At(std::uint64_t off) const {
    return static_cast<std::uint16_t>(ReadLE<2>(off));
}
std::uint32_t TByteReader::U32At(std::uint64_t off) const {
    return static_cast<std::uint32_t>(ReadLE<4>(off));
}

}  // namespace gs
