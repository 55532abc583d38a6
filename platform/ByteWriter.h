#pragma once
// A growable little-endian memory stream for building files before they are written whole.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ByteSource.h"

namespace gs {

class TByteWriter {
public:
    std::size_t Pos() const { return data_.size(); }
    void U8(std::uint8_t v) { data_.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Bytes(std::span<const std::uint8_t> b) { data_.insert(data_.end(), b.begin(), b.end()); }
    void Chars(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
    void Zeros(std::size_t n) { data_.insert(data_.end(), n, 0); }
    // Overwrites already written bytes (offsets filled in after the data they point to).
    void PatchU16(std::size_t at, std::uint16_t v) {
        data_.at(at) = static_cast<std::uint8_t>(v);
        data_.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        PatchU16(at, static_cast<std::uint16_t>(v));
        PatchU16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    const TBytes& Data() const { return data_; }
    TBytes Take() { return std::move(data_); }
    bool Empty() const { return data_.empty(); }

private:
    TBytes data_;
};

}  // namespace gs
