#include "codecs/GifEncoder.h"

namespace gs {

void THashTable::Insert(std::uint32_t key, int code) {
    int slot = Home(key);
    int stride = Step(slot);
    while (slots_[std::size_t(slot)] < kEmptyFrom) {
        slot -= stride;
        if (slot < 0) slot += kSize;
    }
    slots_[std::size_t(slot)] = (key << 12) | std::uint32_t(code);
}

int THashTable::Lookup(std::uint32_t key) const {
    int slot = Home(key);
    int stride = Step(slot);
    for (;;) {
        std::uint32_t entry = slots_[std::size_t(slot)];
        if (entry >= kEmptyFrom) return -1;
        if ((entry >> 12) == key) return int(entry & 0xFFF);
        slot -= stride;
        if (slot < 0) slot += kSize;
    }
}

void TLZWEncoder::Compress() {
    nextCode_ = firstFreeCode_;
    ClearTable();
    int prefix = ReadPixel();
    for (int pixel = ReadPixel(); pixel >= 0; pixel = ReadPixel()) {
        std::uint32_t key = (std::uint32_t(prefix) << 8) | std::uint32_t(pixel);
        int code = table_.Lookup(key);
        if (code >= 0) {
            prefix = code;
            continue;
        }
        Send(prefix);
        prefix = pixel;
        if (nextCode_ > kLastCode) {
            ClearTable();
        } else {
            table_.Insert(key, nextCode_++);
        }
    }
    Send(prefix);
}

void TLZWEncoder::ClearTable() {
    clearFlag_ = true;
    Send(clearCode_);
    table_.Clear();
    nextCode_ = firstFreeCode_;
}

void TLZWEncoder::Send(int code) {
    Output(code);
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
