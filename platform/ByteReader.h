#pragma once
// A little-endian cursor over a ByteSource. Every field of every file format is read
// through this; a read past the end raises EReadError naming the offset.
#include <cstdint>
#include <string>

#include "platform/ByteSource.h"

namespace gs {

class ByteReader {
public:
    explicit ByteReader(const ByteSource& src, std::uint64_t pos = 0) : src_(src), pos_(pos) {}

    std::uint64_t pos() const { return pos_; }
    std::uint64_t size() const { return src_.size(); }
    std::uint64_t remaining() const { return pos_ <= size() ? size() - pos_ : 0; }
    // Positions may be set anywhere; the next read checks them.
    void seek(std::uint64_t pos) { pos_ = pos; }
    void skip(std::uint64_t n) { pos_ += n; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::uint64_t u64();
    Bytes bytes(std::uint64_t n);
    std::string chars(std::uint64_t n);

    // Reads at an absolute offset without moving the cursor.
    std::uint16_t u16At(std::uint64_t off) const;
    std::uint32_t u32At(std::uint64_t off) const;

    const ByteSource& source() const { return src_; }

private:
    const ByteSource& src_;
    std::uint64_t pos_;
};

}  // namespace gs
