#pragma once
// A growable little-endian memory stream for building files before they are written whole.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ByteSource.h"

namespace gs {

class ByteWriter {
public:
    std::size_t pos() const { return data_.size(); }
    void u8(std::uint8_t v) { data_.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void bytes(std::span<const std::uint8_t> b) { data_.insert(data_.end(), b.begin(), b.end()); }
    void chars(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
    void zeros(std::size_t n) { data_.insert(data_.end(), n, 0); }
    // Overwrites already written bytes (offsets filled in after the data they point to).
    void patchU16(std::size_t at, std::uint16_t v) {
        data_.at(at) = static_cast<std::uint8_t>(v);
        data_.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    }
    void patchU32(std::size_t at, std::uint32_t v) {
        patchU16(at, static_cast<std::uint16_t>(v));
        patchU16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    const Bytes& data() const { return data_; }
    Bytes take() { return std::move(data_); }
    bool empty() const { return data_.empty(); }

private:
    Bytes data_;
};

}  // namespace gs
