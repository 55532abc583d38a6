#include "codecs/GifEncoder.h"

namespace gs {

void THashTable::insert(std::uint32_t key, int code) {
    int slot = home(key);
    int stride = step(slot);
    while (slots_[std::size_t(slot)] < kEmptyFrom) {
        slot -= stride;
        if (slot < 0) slot += kSize;
    }
    slots_[std::size_t(slot)] = (key << 12) | std::uint32_t(code);
}

int THashTable::lookup(std::uint32_t key) const {
    int slot = home(key);
    int stride = step(slot);
    for (;;) {
        std::uint32_t entry = slots_[std::size_t(slot)];
        if (entry >= kEmptyFrom) return -1;
        if ((entry >> 12) == key) return int(entry & 0xFFF);
        slot -= stride;
        if (slot < 0) slot += kSize;
    }
}

void TLZWEncoder::compress() {
    nextCode_ = firstFreeCode_;
    clearTable();
    int prefix = readPixel();
    for (int pixel = readPixel(); pixel >= 0; pixel = readPixel()) {
        std::uint32_t key = (std::uint32_t(prefix) << 8) | std::uint32_t(pixel);
        int code = table_.lookup(key);
        if (code >= 0) {
            prefix = code;
            continue;
        }
        send(prefix);
        prefix = pixel;
        if (nextCode_ > kLastCode) {
            clearTable();
        } else {
            table_.insert(key, nextCode_++);
        }
    }
    send(prefix);
}

void TLZWEncoder::clearTable() {
    clearFlag_ = true;
    send(clearCode_);
    table_.clear();
    nextCode_ = firstFreeCode_;
}

void TLZWEncoder::send(int code) {
    output(code);
    if (clearFlag_) {
        bitsPerCode_ = initialBits_;
        maxCode_ = (1 << bitsPerCode_) - 1;
        clearFlag_ = false;
    } else if (nextCode_ > maxCode_) {
        ++bitsPerCode_;
        // At the widest code the limit is the table size, so the width never passes 12.
        maxCode_ = bitsPerCode_ == kMaxBits ? kMaxCodes : (1 << bitsPerCode_) - 1;
    }
}

}  // namespace gs
