#pragma once
// A little-endian cursor over a window of an IByteSource. Every field of every file format is
// read through this; a read past the end of the window raises EReadError naming the offset.
// A window is checked once, when it is made: a resource, a directory or a table is then read
// in place, never copied out first.
#include <cstdint>
#include <string>

#include "platform/ByteSource.h"

namespace gs {

class TByteReader {
public:
    // The whole source, from `pos`.
    explicit TByteReader(const IByteSource& src, std::uint64_t pos = 0)
        : src_(src), base_(0), size_(src.Size()), pos_(pos) {}

    // `length` bytes from `offset` of this window, positions counted from their start;
    // EReadError unless they lie wholly inside this window.
    TByteReader Window(std::uint64_t offset, std::uint64_t length) const;

    std::uint64_t Pos() const { return pos_; }
    std::uint64_t Size() const { return size_; }
    std::uint64_t Remaining() const { return pos_ <= size_ ? size_ - pos_ : 0; }
    bool Contains(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    // Where a position of this window lies in the source.
    std::uint64_t SourceOffset(std::uint64_t pos) const { return base_ + pos; }
    // Positions may be set anywhere; the next read checks them.
    void Seek(std::uint64_t pos) { pos_ = pos; }
    void Skip(std::uint64_t n) { pos_ += n; }

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::uint64_t U64();
    TBytes Bytes(std::uint64_t n);
    std::string Chars(std::uint64_t n);

    // Reads at a position of the window without moving the cursor.
    std::uint16_t U16At(std::uint64_t off) const;
    std::uint32_t U32At(std::uint64_t off) const;
    TBytes BytesAt(std::uint64_t off, std::uint64_t n) const;

    const IByteSource& Source() const { return src_; }

private:
    TByteReader(const IByteSource& src, std::uint64_t base, std::uint64_t size)
        : src_(src), base_(base), size_(size), pos_(0) {}
    template <std::size_t N>
    std::uint64_t ReadLE(std::uint64_t off) const;
    void Check(std::uint64_t off, std::uint64_t n) const;

    const IByteSource& src_;
    std::uint64_t base_;
    std::uint64_t size_;
    std::uint64_t pos_;
};

}  // namespace gs
