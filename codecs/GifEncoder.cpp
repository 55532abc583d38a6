#include "codecs/GifEncoder.h"

#include "codecs/GifTypes.h"

namespace gs {

namespace {
constexpr int kMinCodeSize = 2;
constexpr std::uint8_t kBlockTerminator = 0;
// Interlaced rows come in four passes: every 8th row from 0, every 8th from 4, every 4th
// from 2, every 2nd from 1.
constexpr std::array<int, 4> kPassStart{0, 4, 2, 1};
constexpr std::array<int, 4> kPassStep{8, 8, 4, 2};
}  // namespace

void TGIFWriter::FlushBlock() {
    buffer_[0] = std::uint8_t(fill_ - 1);
    out_.Bytes(std::span(buffer_.data(), std::size_t(fill_)));
    fill_ = 1;
}

void TGIFEncoder::Encode(TByteWriter& out, const TGIFPixels& pixels, int bitsPerPixel, int colorCount) {
    if (bitsPerPixel < kMinCodeSize) bitsPerPixel = kMinCodeSize;
    out.U8(std::uint8_t(bitsPerPixel));
    initialBits_ = bitsPerPixel + 1;
    bitsPerCode_ = initialBits_;
    maxCode_ = (1 << bitsPerCode_) - 1;
    clearCode_ = 1 << bitsPerPixel;
    eoiCode_ = clearCode_ + 1;
    firstFreeCode_ = clearCode_ + 2;
    bucket_ = 0;
    bucketBits_ = 0;
    colorCount_ = colorCount;
    pixels_ = pixels;
    pixel_ = pixels.data;
    pixelsLeft_ = pixels.interlaced ? std::size_t(pixels.width)
                                    : std::size_t(pixels.width) * std::size_t(pixels.height);
    row_ = 0;
    pass_ = 0;
    finished_ = false;

    TGIFWriter writer(out);
    writer_ = &writer;
    if (pixels.data && pixels.width > 0 && pixels.height > 0) Compress();
    Output(eoiCode_);
    if (bucketBits_ > 0) writer.Write(std::uint8_t(bucket_));
    writer.Release();
    writer_ = nullptr;
    out.U8(kBlockTerminator);
}

void TGIFEncoder::Output(int code) {
    bucket_ &= (std::uint32_t(1) << bucketBits_) - 1;
    bucket_ |= std::uint32_t(code) << bucketBits_;
    bucketBits_ += bitsPerCode_;
    while (bucketBits_ >= 8) {
        writer_->Write(std::uint8_t(bucket_));
        bucket_ >>= 8;
        bucketBits_ -= 8;
    }
}

int TGIFEncoder::ReadPixel() {
    if (finished_) return -1;
    int value = *pixel_;
    if (value >= colorCount_) throw GIFException(gifmsg::kUnknownColor);
    if (--pixelsLeft_ > 0) {
        ++pixel_;
    } else if (!pixels_.interlaced) {
        finished_ = true;
    } else {
        AdvanceRow();
    }
    return value;
}

void TGIFEncoder::AdvanceRow() {
    pixelsLeft_ = std::size_t(pixels_.width);
    row_ += kPassStep[std::size_t(pass_)];
    // A pass whose first row lies beyond the image is skipped, so every row comes once.
    while (row_ >= pixels_.height) {
        if (++pass_ >= int(kPassStart.size())) {
            finished_ = true;
            return;
        }
        row_ = kPassStart[std::size_t(pass_)];
    }
    pixel_ = pixels_.data + std::size_t(row_) * std::size_t(pixels_.width);
}

}  // namespace gs
