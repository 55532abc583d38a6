// Run-length coding inside a valid GIF code stream. Right after a clear code the decoder's
// table grows by one entry per code; when a run of one pixel value is sent as the pixel,
// then codes covering 2, 3, 4 ... pixels, every entry the decoder adds is again a run of
// that pixel, one longer than the last. Runs are therefore coded as a "triangle" of such
// codes, and later runs of the same pixel reuse the longest run code while the table lasts.
// Codes are counted so that the code width grows exactly when the decoder's does, and a
// clear code is sent before the table would fill.
#include "codecs/GifEncoder.h"

namespace gs {

namespace {

// Largest r with r * r <= x, by Newton steps from a power-of-two guess.
std::uint64_t integerSqrt(std::uint64_t x) {
    if (x < 2) return x;
    std::uint64_t r = 1;
    for (std::uint64_t v = x; v != 0; v >>= 2) r <<= 1;
    for (;;) {
        std::uint64_t v = (x / r + r) / 2;
        if (v == r || v == r + 1) return r;
        r = v;
    }
}

}  // namespace

void TRLEEncoder::Compress() {
    constexpr int kSmallCodeSize = 3;
    constexpr int kSmallClearPoint = 9;
    int bitsPerPixel = initialBits_ - 1;
    bumpInit_ = clearCode_ - 1;
    clearInit_ = bitsPerPixel > kSmallCodeSize ? clearCode_ - 2 : kSmallClearPoint;
    maxRunCodes_ = (kMaxCodes - 1) - firstFreeCode_;
    runPixel_ = -1;
    tablePixel_ = -1;
    Clear();

    std::int64_t count = 0;
    for (int pixel = ReadPixel(); pixel >= 0; pixel = ReadPixel()) {
        if (count > 0 && pixel != runPixel_) {
            FlushRun(count);
            count = 0;
        }
        if (pixel == runPixel_) {
            ++count;
        } else {
            runPixel_ = pixel;
            count = 1;
        }
    }
    if (count > 0) FlushRun(count);
}

void TRLEEncoder::SendCode(int code) {
    clearFlag_ = false;
    Output(code);
    ++codesSent_;
    if (codesSent_ >= bumpPoint_) {
        bumpPoint_ += 1 << bitsPerCode_;
        ++bitsPerCode_;
    }
    if (codesSent_ >= clearPoint_) Clear();
}

void TRLEEncoder::Clear() {
    Output(clearCode_);
    bitsPerCode_ = initialBits_;
    bumpPoint_ = bumpInit_;
    clearPoint_ = clearInit_;
    codesSent_ = 0;
    tableMax_ = 0;
    clearFlag_ = true;
}

void TRLEEncoder::ResetClearPoint() {
    clearPoint_ = clearInit_;
    if (codesSent_ >= clearPoint_) Clear();
}

std::int64_t TRLEEncoder::TriangleCost(std::int64_t count) const {
    std::int64_t limit = maxRunCodes_;
    std::int64_t perRepeat = limit * (limit + 1) / 2;
    std::int64_t cost = 0;
    while (count >= perRepeat) {
        cost += limit;
        count -= perRepeat;
    }
    if (count > 0) {
        std::uint64_t n = integerSqrt(std::uint64_t(count));
        std::uint64_t twice = 2 * std::uint64_t(count);
        while (n * (n + 1) >= twice) --n;
        while (n * (n + 1) < twice) ++n;
        cost += std::int64_t(n);
    }
    return cost;
}

void TRLEEncoder::FlushRun(std::int64_t count) {
    if (count == 1) {
        SendCode(runPixel_);
    } else if (clearFlag_) {
        FlushFromClear(count);
    } else if (tableMax_ < 2 || tablePixel_ != runPixel_) {
        FlushClearOrRepeat(count);
    } else {
        FlushWithTable(count);
    }
}

void TRLEEncoder::FlushFromClear(std::int64_t count) {
    LiftClearPoint();
    tablePixel_ = runPixel_;
    std::int64_t length = 1;
    while (count > 0) {
        if (length == 1) {
            tableMax_ = 1;
            SendCode(runPixel_);
            --count;
        } else if (count >= length) {
            tableMax_ = int(length);
            SendCode(RunCode(int(length)));
            count -= length;
        } else {
            ++tableMax_;
            SendCode(count == 1 ? runPixel_ : RunCode(int(count)));
            count = 0;
        }
        length = codesSent_ == 0 ? 1 : length + 1;
    }
    ResetClearPoint();
}

void TRLEEncoder::FlushClearOrRepeat(std::int64_t count) {
    if (TriangleCost(count) + 1 < count) {
        Clear();
        FlushFromClear(count);
    } else {
        for (; count > 0; --count) SendCode(runPixel_);
    }
}

void TRLEEncoder::FlushWithTable(std::int64_t count) {
    std::int64_t repeats = count / tableMax_;
    std::int64_t leftover = count % tableMax_;
    std::int64_t leftoverCost = leftover > 0 ? 1 : 0;
    if (codesSent_ + repeats + leftoverCost > maxRunCodes_) {
        repeats = maxRunCodes_ - codesSent_;
        leftover = count - repeats * tableMax_;
        leftoverCost = 1 + TriangleCost(leftover);
    }
    if (1 + TriangleCost(count) < repeats + leftoverCost) {
        Clear();
        FlushFromClear(count);
        return;
    }
    LiftClearPoint();
    for (; repeats > 0; --repeats) SendCode(RunCode(tableMax_));
    if (leftover > 0) {
        if (clearFlag_)
            FlushFromClear(leftover);
        else
            SendCode(leftover == 1 ? runPixel_ : RunCode(int(leftover)));
    }
    ResetClearPoint();
}

}  // namespace gs
