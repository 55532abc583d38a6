#include "codecs/GifLzwDecoder.h"

#include <algorithm>
#include <span>

#include "codecs/GifTypes.h"

namespace gs {

TGIFDecoder::TGIFDecoder(TByteReader& in, int minCodeSize, Warn warn)
    : in_(in), warn_(std::move(warn)), minCodeSize_(std::clamp(minCodeSize, 1, kMaxMinCodeSize)) {
    clearCode_ = 1 << minCodeSize_;
    endCode_ = clearCode_ + 1;
}

bool TGIFDecoder::FillBlock() {
    if (endOfData_) return false;
    if (cutShort_) {
        // The last sub-block was cut short; that was warned about already.
        endOfData_ = true;
        return false;
    }
    if (in_.Remaining() == 0) {
        // The stream ends inside the image data, without its zero block.
        endOfData_ = true;
        warn_(gifmsg::kPrematureEnd);
        return false;
    }
    int count = in_.U8();
    if (count == 0) {
        zeroBlockSeen_ = endOfData_ = true;
        return false;
    }
    int available = int(std::min<std::uint64_t>(std::uint64_t(count), in_.Remaining()));
    if (available < count) {
        warn_(gifmsg::kPrematureEnd);
        cutShort_ = true;
    }
    in_.Source().ReadAt(in_.Pos(), std::span(block_.data(), std::size_t(available)));
    in_.Skip(std::uint64_t(available));
    blockSize_ = available;
    blockPos_ = 0;
    if (available == 0) {
        endOfData_ = true;
        return false;
    }
    return true;
}

int TGIFDecoder::ReadCode() {
    while (bitCount_ < codeSize_) {
        if (blockPos_ >= blockSize_) {
            bool wasAtEnd = endOfData_;
            if (!FillBlock()) {
                if (wasAtEnd) warn_(gifmsg::kBitBufferUnderrun);
                return kEndOfData;
            }
        }
        bits_ |= std::uint32_t(block_[std::size_t(blockPos_++)]) << bitCount_;
        bitCount_ += 8;
    }
    int code = int(bits_ & ((1u << codeSize_) - 1));
    bits_ >>= codeSize_;
    bitCount_ -= codeSize_;
    return code;
}

void TGIFDecoder::SkipRest() {
    if (zeroBlockSeen_) return;
    endOfData_ = true;
    while (in_.Remaining() > 0) {
        std::uint8_t count = in_.U8();
        if (count == 0) {
            zeroBlockSeen_ = true;
            return;
        }
        in_.Skip(std::min<std::uint64_t>(count, in_.Remaining()));
    }
}

void TGIFDecoder::ClearTable() {
    codeSize_ = minCodeSize_ + 1;
    codeLimit_ = clearCode_ << 1;
    nextFree_ = clearCode_ + 2;
}

int TGIFDecoder::FirstAfterClear() {
    int code;
    do {
        code = ReadCode();
        if (code < 0) return code;
    } while (code == clearCode_);
    if (code == endCode_) {
        SkipRest();
        return kEndCode;
    }
    if (code > clearCode_) {
        // The table is empty: only a pixel can start it.
        warn_(gifmsg::kInvalidData);
        return kInvalid;
    }
    firstCode_ = oldCode_ = code;
    return code;
}

int TGIFDecoder::Next() {
    if (stackTop_ > 0) return stack_[std::size_t(--stackTop_)];
    if (!started_) {
        // The stream starts as after a clear code, whether or not it sends one.
        started_ = true;
        ClearTable();
        return FirstAfterClear();
    }
    int code = ReadCode();
    if (code < 0) return code;
    if (code == clearCode_) {
        ClearTable();
        return FirstAfterClear();
    }
    if (code == endCode_) {
        SkipRest();
        return kEndCode;
    }
    if (code > nextFree_) {
        // Decoding it would read table entries that were never made.
        warn_(gifmsg::kInvalidData);
        return kInvalid;
    }
    const int incoming = code;
    if (code == nextFree_) {
        stack_[std::size_t(stackTop_++)] = std::uint16_t(firstCode_);
        code = oldCode_;
    }
    while (code >= clearCode_) {
        if (stackTop_ >= kTableSize) throw GIFException(gifmsg::kCircularTable);
        stack_[std::size_t(stackTop_++)] = suffix_[std::size_t(code)];
        code = prefix_[std::size_t(code)];
    }
    firstCode_ = code;
    stack_[std::size_t(stackTop_++)] = std::uint16_t(firstCode_);
    if (nextFree_ < kTableSize) {
        prefix_[std::size_t(nextFree_)] = std::uint16_t(oldCode_);
        suffix_[std::size_t(nextFree_)] = std::uint16_t(firstCode_);
        ++nextFree_;
        if (nextFree_ >= codeLimit_ && codeLimit_ < kTableSize) {
            codeLimit_ <<= 1;
            ++codeSize_;
        }
    }
    oldCode_ = incoming;
    return stack_[std::size_t(--stackTop_)];
}

void TGIFRowOrder::Advance() {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    if (!interlaced_) {
        ++row_;
        return;
    }
    row_ += kStep[pass_];
    while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
}

}  // namespace gs
